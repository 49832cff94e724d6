#pragma once

#include "RowLayout.h"

#include "WireDescription.h"

#include <map>
#include <memory>
#include <string>

namespace classicrfc {

// What the partner's interface says about each parameter of a function: scalar, structure or
// table, the decimals of a packed scalar, and the row layout of structures and tables. The
// raw buffers of a call are read and written by this interface, as the ABAP side reads them by
// its dictionary, whatever structures the caller installed.
struct ParameterShape {
    simwire::Direction direction = simwire::Direction::Importing;
    simwire::TypeKind kind = simwire::TypeKind::Scalar;
    uint32_t decimals = 0;
    std::shared_ptr<const RowLayout> row;
};

class FunctionShape {
public:
    explicit FunctionShape(const simwire::FunctionDescription& description);

    const ParameterShape* find(const std::string& parameter) const;
    const simwire::FunctionDescription& description() const { return m_description; }
    // The layout of a parameter's structure or table row; null for scalars.
    std::shared_ptr<const RowLayout> layoutOf(const std::string& parameter) const;

private:
    simwire::FunctionDescription m_description;
    std::map<std::string, ParameterShape> m_parameters;
};

} // namespace classicrfc
