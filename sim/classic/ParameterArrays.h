#pragma once

#include "include/ClassicRfcAbi.h"

#include <string>
#include <vector>

namespace classicrfc {

struct ParameterEntry {
    RFC_PARAMETER* raw;
    std::string name;
};

struct TableEntry {
    RFC_TABLE* raw;
    std::string name;
};

// The entries of a caller's parameter or table array up to its terminating entry (name null).
// A null array has no entries. An array whose entries cannot be read, whose names are not
// readable texts, or that has no terminator within `maxEntries` is RFC_INVALID_PARAMETER.
class ParameterArrays {
public:
    static constexpr unsigned maxEntries = 10000;
    static constexpr unsigned maxNameLength = 61;

    static std::vector<ParameterEntry> parameters(RFC_PARAMETER* array, const char* what);
    static std::vector<TableEntry> tables(RFC_TABLE* array, const char* what);
};

} // namespace classicrfc
