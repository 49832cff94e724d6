#pragma once

#include "WireBuffer.h"

#include <string>
#include <utility>
#include <vector>

namespace simwire {

// A parameter or field value on the wire. Scalars travel as text in their canonical form
// (C without trailing blanks, N digits, D YYYYMMDD, T HHMMSS, P "-123.45", F shortest text of
// the double, integers decimal, strings as they are) or as raw bytes (X, y); a structure as
// named fields; a table as its column names once and then one value per column and row.
struct WireValue {
    enum class Kind : uint8_t { Text = 1, Bytes = 2, Structure = 3, Table = 4 };

    Kind kind = Kind::Text;
    std::string scalar;
    std::vector<std::pair<std::string, WireValue>> fields;
    std::vector<std::string> columns;
    std::vector<std::vector<WireValue>> rows;

    static WireValue text(std::string s) { return {Kind::Text, std::move(s), {}, {}, {}}; }
    static WireValue bytes(std::string b) { return {Kind::Bytes, std::move(b), {}, {}, {}}; }
    static WireValue structure() { return {Kind::Structure, {}, {}, {}, {}}; }
    static WireValue table(std::vector<std::string> columns) { return {Kind::Table, {}, {}, std::move(columns), {}}; }

    const WireValue* field(const std::string& name) const;
};

using NamedValues = std::vector<std::pair<std::string, WireValue>>;

// Structures and tables nest at most this deep.
constexpr int maxValueDepth = 16;

void writeValue(WireWriter& w, const WireValue& v);
WireValue readValue(WireReader& r, int depth = 0);
void writeNamedValues(WireWriter& w, const NamedValues& values);
NamedValues readNamedValues(WireReader& r);

} // namespace simwire
