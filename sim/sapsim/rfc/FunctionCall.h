#pragma once

#include "dictionary/Value.h"
#include "repo/FunctionDef.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sapsim {

// The values of one call of a function module: every parameter starts with its initial value;
// the request fills the inputs, the module the outputs.
class FunctionCall {
public:
    explicit FunctionCall(const FunctionDef& def);

    const FunctionDef& def() const { return m_def; }
    const Parameter& parameter(std::string_view name) const;
    Value& value(std::string_view name);
    const Value& value(std::string_view name) const;
    Value& value(size_t index) { return m_values[index]; }
    const Value& value(size_t index) const { return m_values[index]; }

    bool supplied(std::string_view name) const;
    void markSupplied(size_t index) { m_supplied[index] = true; }

    // Scalar conveniences; text goes through the parameter's type, bytes as hexadecimal digits.
    const std::string& scalar(std::string_view name) const;
    int64_t integer(std::string_view name) const;
    void set(std::string_view name, std::string_view text);
    void set(std::string_view name, int64_t number) { set(name, std::to_string(number)); }
    std::vector<Value>& rows(std::string_view name) { return value(name).items; }

private:
    size_t index(std::string_view name) const;

    const FunctionDef& m_def;
    std::vector<Value> m_values;
    std::vector<bool> m_supplied;
};

} // namespace sapsim
