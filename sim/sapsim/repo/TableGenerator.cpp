#include "repo/TableGenerator.h"

#include "dictionary/ScalarCodec.h"

#include <cstdio>

namespace sapsim {
namespace {

std::string scaled(int64_t value, int scale)
{
    if (scale <= 0)
        return std::to_string(value);
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(digits.size()) <= scale)
        digits.insert(0, static_cast<size_t>(scale) + 1 - digits.size(), '0');
    const size_t point = digits.size() - static_cast<size_t>(scale);
    std::string out;
    if (value < 0)
        out += '-';
    out.append(digits, 0, point);
    out += '.';
    out.append(digits, point, std::string::npos);
    return out;
}

std::string replaceRowNumber(const std::string& pattern, size_t row)
{
    std::string out = pattern;
    const std::string number = std::to_string(row + 1);
    for (size_t at = out.find("{n}"); at != std::string::npos; at = out.find("{n}", at + number.size()))
        out.replace(at, 3, number);
    return out;
}

std::string timeText(int64_t seconds)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d", int(seconds / 3600 % 24), int(seconds / 60 % 60), int(seconds % 60));
    return buf;
}

std::string valueText(const ColumnRule& rule, const ScalarType& type, uint64_t random, size_t row)
{
    const uint64_t span = static_cast<uint64_t>(rule.high - rule.low) + 1;
    switch (rule.kind) {
    case ColumnRule::Kind::Constant: return rule.constant;
    case ColumnRule::Kind::Sequence: return std::to_string(rule.first + rule.step * static_cast<int64_t>(row));
    case ColumnRule::Kind::Random:
        return scaled(rule.low + static_cast<int64_t>(random % span), rule.scale >= 0 ? rule.scale : type.decimals);
    case ColumnRule::Kind::Choice: return rule.choices[random % rule.choices.size()];
    case ColumnRule::Kind::Date: return TableGenerator::dateFromDays(rule.low + static_cast<int64_t>(random % span));
    case ColumnRule::Kind::Time: return timeText(rule.low + static_cast<int64_t>(random % span));
    case ColumnRule::Kind::Text: return replaceRowNumber(rule.pattern, row);
    case ColumnRule::Kind::Bytes: {
        std::string bytes;
        for (int i = 0; i < type.length; ++i)
            bytes += static_cast<char>(TableGenerator::mix(random, row, static_cast<uint64_t>(i)) & 0xFF);
        return ScalarCodec::hex(bytes);
    }
    }
    return {};
}

} // namespace

void TableGenerator::generate(DbTable& table, uint64_t seed, size_t rows, const std::map<std::string, ColumnRule>& rules)
{
    const auto& components = table.structure->components;
    std::vector<const ColumnRule*> byColumn;
    for (const Component& c : components) {
        const auto it = rules.find(c.name);
        byColumn.push_back(it == rules.end() ? nullptr : &it->second);
    }
    table.rows.reserve(table.rows.size() + rows);
    for (size_t r = 0; r < rows; ++r) {
        std::vector<std::string> row;
        row.reserve(components.size());
        for (size_t c = 0; c < components.size(); ++c) {
            const ScalarType& type = components[c].type.scalar;
            if (byColumn[c] == nullptr) {
                row.push_back(ScalarCodec::initial(type));
                continue;
            }
            const std::string text = valueText(*byColumn[c], type, mix(seed, r, c), r);
            row.push_back(ScalarCodec::fromText(type, text, ScalarCodec::Binary::Hex));
        }
        table.rows.push_back(std::move(row));
    }
}

// Civil-calendar conversions after the well-known days-from-civil algorithm (proleptic
// Gregorian calendar).
int64_t TableGenerator::daysFromDate(const std::string& d)
{
    int64_t y = std::stoll(d.substr(0, 4));
    const int64_t m = std::stoll(d.substr(4, 2));
    const int64_t day = std::stoll(d.substr(6, 2));
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::string TableGenerator::dateFromDays(int64_t z)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", int(y), int(m), int(d));
    return buf;
}

// splitmix64 over the three inputs.
uint64_t TableGenerator::mix(uint64_t seed, uint64_t row, uint64_t column)
{
    uint64_t z = seed + 0x9E3779B97F4A7C15ull * (row + 1) + 0xD1B54A32D192ED03ull * (column + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

} // namespace sapsim
