#pragma once

#include "RowLayout.h"

#include "WireDescription.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace classicrfc {

// Row layouts of the structures the gateway described, in this platform's Unicode layout: the
// dictionary's fields in their order, each aligned to its size (a nested structure to its
// strictest field), the row rounded up to its strictest alignment. For flat structures this is
// the dictionary's two-byte layout itself; STRING and XSTRING fields take the size of the
// library's RFC_STRING and RFC_XSTRING.
class LayoutBuilder {
public:
    explicit LayoutBuilder(const std::vector<simwire::TypeDescription>& types) : m_types(types) {}

    // RFC_NOT_FOUND-like ApiFailure (RFC_FAILURE) when the structure is not among the types.
    std::shared_ptr<const RowLayout> structure(const std::string& name);

    // One scalar value of a library type code, `leng` bytes long, at offset 0; RFC_INVALID_PARAMETER
    // for a code that is no scalar or a length too short for it.
    static std::shared_ptr<const RowLayout> scalar(RFC_TYPEHANDLE type, unsigned leng, unsigned decimals, bool fixedDecimals);

private:
    FieldLayout field(const simwire::FieldDescription& description);

    const std::vector<simwire::TypeDescription>& m_types;
    std::map<std::string, std::shared_ptr<const RowLayout>> m_built;
    std::vector<std::string> m_building;
};

} // namespace classicrfc
