#pragma once

#include "dictionary/Structure.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sapsim {

struct TableType {
    std::string name;
    std::string text;
    const Structure* row = nullptr;
};

// The data dictionary: structures (database tables included) and table types by name.
// Entries are created once while the repository loads and never move afterwards.
class Dictionary {
public:
    Structure& addStructure(const std::string& name);
    TableType& addTableType(const std::string& name);

    const Structure* structure(const std::string& name) const;
    const TableType* tableType(const std::string& name) const;
    Structure* editStructure(const std::string& name);
    TableType* editTableType(const std::string& name);
    std::vector<const Structure*> structures() const;
    bool contains(const std::string& name) const;

    // The type a declaration names: a dictionary letter with length and decimals, or the name of a
    // structure or table type. Throws std::runtime_error for unknown names and bad lengths.
    DataType resolve(const std::string& type, int length, int decimals, const std::string& typeName) const;

private:
    std::map<std::string, std::unique_ptr<Structure>> m_structures;
    std::map<std::string, std::unique_ptr<TableType>> m_tableTypes;
};

} // namespace sapsim
