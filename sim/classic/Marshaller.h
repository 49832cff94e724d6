#pragma once

#include "FunctionShape.h"
#include "ParameterArrays.h"

#include "WireValue.h"

#include <memory>
#include <vector>

namespace classicrfc {

// Moves the values of a caller's parameter and table arrays to the gateway's named values and
// back. Where the partner's interface (the shape) describes a parameter, its structures and
// rows are read by that interface's layout; otherwise by the caller's type: a scalar type code
// with the entry's length, or an installed structure. Buffers are checked before they are read
// or written, and a buffer shorter than its layout is RFC_INVALID_PARAMETER.
class Marshaller {
public:
    explicit Marshaller(std::shared_ptr<const FunctionShape> shape = nullptr) : m_shape(std::move(shape)) {}

    void addParameters(RFC_PARAMETER* array, const char* what, simwire::NamedValues& values) const;
    void addTables(RFC_TABLE* array, simwire::NamedValues& values) const;
    // Values the array has no entry for are ignored; entries without a value keep their buffers.
    void takeParameters(const simwire::NamedValues& values, RFC_PARAMETER* array, const char* what) const;
    // Returns the tables the library created for entries that had none (handle null); with
    // `emptyWhenMissing` also for tables the values lack, which a server's caller did not send.
    std::vector<ITAB_H> takeTables(const simwire::NamedValues& values, RFC_TABLE* array, bool emptyWhenMissing = false) const;

private:
    struct Layout {
        std::shared_ptr<const RowLayout> row;
        bool scalar = false;
    };

    Layout layoutOf(const ParameterEntry& entry) const;
    std::shared_ptr<const RowLayout> rowLayoutOf(const TableEntry& entry) const;

    std::shared_ptr<const FunctionShape> m_shape;
};

} // namespace classicrfc
