#pragma once

#include "Handles.h"

namespace nwrfc {

class Record;

// What a DATA_CONTAINER_HANDLE points at: a function's or structure's record, or a table
// (whose value functions act on the current row).
class DataContainer : public Handled {
public:
    DataContainer() : Handled(HandleKind::Data) {}
    virtual Record& current() = 0;
};

} // namespace nwrfc
