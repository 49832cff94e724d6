#pragma once

#include "InternalTable.h"
#include "RowLayout.h"

#include "WireValue.h"

namespace classicrfc {

// The rows of an internal table and the gateway's table values, through a row layout. A layout
// of one unnamed field (a table of a scalar type) matches a table value of one column whatever
// its name.
class TableCodec {
public:
    static simwire::WireValue read(const InternalTable* table, const RowLayout& layout);
    // Replaces the table's rows with the value's; columns the layout lacks are left out.
    static void write(InternalTable& table, const RowLayout& layout, const simwire::WireValue& value);
};

} // namespace classicrfc
