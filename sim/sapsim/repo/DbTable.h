#pragma once

#include "dictionary/Structure.h"

#include <string>
#include <vector>

namespace sapsim {

// A database table: its row structure (a flat dictionary structure of the same name) and its
// rows, each holding the canonical value of every column in column order. A table whose first
// column is MANDT belongs to clients: a reader sees the rows of its logon client only, unless
// the table is marked client-independent.
struct DbTable {
    std::string name;
    std::string text;
    const Structure* structure = nullptr;
    bool clientDependent = false;
    std::vector<std::vector<std::string>> rows;
};

} // namespace sapsim
