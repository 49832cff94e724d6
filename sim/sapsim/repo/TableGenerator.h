#pragma once

#include "repo/DbTable.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sapsim {

// How one column of a generated table gets its values. Random values depend only on the seed,
// the row number and the column, so a table is the same on every start and every machine.
struct ColumnRule {
    enum class Kind { Constant, Sequence, Random, Choice, Date, Time, Text, Bytes };
    Kind kind = Kind::Constant;
    std::string constant;             // Constant
    int64_t first = 1, step = 1;      // Sequence
    int64_t low = 0, high = 0;        // Random (integer range), Date and Time (days, seconds)
    int scale = -1;                   // Random: divide by 10^scale (-1: the column's decimals)
    std::vector<std::string> choices; // Choice
    std::string pattern;              // Text: "{n}" is replaced by the row number (from 1)
};

class TableGenerator {
public:
    // Fills `table` with `rows` rows; columns without a rule get their initial value.
    static void generate(DbTable& table, uint64_t seed, size_t rows, const std::map<std::string, ColumnRule>& rules);

    // Days since 1970-01-01 for a canonical date YYYYMMDD, and back.
    static int64_t daysFromDate(const std::string& yyyymmdd);
    static std::string dateFromDays(int64_t days);
    static uint64_t mix(uint64_t seed, uint64_t row, uint64_t column);
};

} // namespace sapsim
