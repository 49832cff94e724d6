#pragma once

#include "dictionary/Structure.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sapsim {

// Reads and writes the fields of one structure value (a row or a structured parameter) by name.
class Record {
public:
    Record(const Structure& structure, Value& value) : m_structure(structure), m_value(value) {}

    const std::string& get(std::string_view field) const;
    int64_t integer(std::string_view field) const;
    // Text goes through the field's type (bytes as hexadecimal digits).
    Record& set(std::string_view field, std::string_view text);
    Record& set(std::string_view field, int64_t number);

    // A new row with initial values, appended to `rows`.
    static Record append(const Structure& structure, std::vector<Value>& rows);

private:
    const Component& component(std::string_view field, size_t& index) const;

    const Structure& m_structure;
    Value& m_value;
};

} // namespace sapsim
