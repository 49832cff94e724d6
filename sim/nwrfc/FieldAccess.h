#pragma once

#include "Record.h"
#include "Table.h"

namespace nwrfc {

// Finds the field a value function names in a function, structure or table row, and reports
// its failures with the field's name.
class FieldAccess {
public:
    // The record a handle addresses: the container itself or a table's current row.
    static Record& record(DATA_CONTAINER_HANDLE handle);

    template <class Body>
    static void scalar(DATA_CONTAINER_HANDLE handle, const SAP_UC* name, bool setting, Body&& body)
    {
        Record& r = record(handle);
        require(name, "name");
        Slot& slot = r.slot(view(name));
        try {
            if (slot.type.complex())
                conversionFailure("it is a structure or table, not a scalar");
            body(slot.scalar, slot.type);
            if (setting)
                slot.touched = true;
        } catch (const ApiFailure& f) {
            throw ApiFailure(f.code(), f.group(), f.key(), "field " + toUtf8(view(name)) + ": " + f.what());
        }
    }
};

} // namespace nwrfc
