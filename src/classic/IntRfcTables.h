#pragma once
// CIntRfcTables: the table array of a classic call as the library takes it, one CIntRfcTable
// per table parameter and a terminating entry.
#include "IntRfcTable.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tolvane {

class CIntRfcTables {
public:
    // With `fill` the internal tables are made and filled from the rows; without, the library
    // makes them (a server's receive).
    CIntRfcTables(const classic::EntryPoints& rfc, IRfcParameters* tables, bool fill);

    classic::RFC_TABLE* Array() noexcept { return m_descriptors.data(); }
    // Replaces every table's rows with its received lines, in name order.
    void getValues();

private:
    std::vector<classic::RFC_TABLE> m_descriptors;
    std::vector<std::unique_ptr<CIntRfcTable>> m_tables;
    std::map<std::wstring, CIntRfcTable*> m_byName;
};

} // namespace tolvane
