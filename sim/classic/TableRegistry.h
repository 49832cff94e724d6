#pragma once

#include "InternalTable.h"

#include "include/ClassicRfcAbi.h"

#include <memory>

namespace classicrfc {

// Every internal table handed out as an ITAB_H, from its creation to ItDeleteU. A handle the
// caller passes in is looked up here first: a stale, forged or null handle finds nothing.
class TableRegistry {
public:
    static ITAB_H add(std::unique_ptr<InternalTable> table);
    static InternalTable* find(ITAB_H handle);
    // False when the handle is not a live table.
    static bool destroy(ITAB_H handle);
};

} // namespace classicrfc
