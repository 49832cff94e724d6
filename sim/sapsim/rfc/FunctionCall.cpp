#include "rfc/FunctionCall.h"

#include "dictionary/ScalarCodec.h"
#include "dictionary/Structure.h"

#include <stdexcept>

namespace sapsim {

FunctionCall::FunctionCall(const FunctionDef& def)
    : m_def(def), m_supplied(def.parameters.size(), false)
{
    m_values.reserve(def.parameters.size());
    for (const Parameter& p : def.parameters)
        m_values.push_back(initialValue(p.type));
}

size_t FunctionCall::index(std::string_view name) const
{
    const int i = m_def.indexOf(name);
    if (i < 0)
        throw std::logic_error(m_def.name + " has no parameter " + std::string(name));
    return static_cast<size_t>(i);
}

const Parameter& FunctionCall::parameter(std::string_view name) const
{
    return m_def.parameters[index(name)];
}

Value& FunctionCall::value(std::string_view name)
{
    return m_values[index(name)];
}

const Value& FunctionCall::value(std::string_view name) const
{
    return m_values[index(name)];
}

bool FunctionCall::supplied(std::string_view name) const
{
    return m_supplied[index(name)];
}

const std::string& FunctionCall::scalar(std::string_view name) const
{
    return value(name).scalar;
}

int64_t FunctionCall::integer(std::string_view name) const
{
    return ScalarCodec::toInteger(scalar(name));
}

void FunctionCall::set(std::string_view name, std::string_view text)
{
    const size_t i = index(name);
    m_values[i].scalar = ScalarCodec::fromText(m_def.parameters[i].type.scalar, text, ScalarCodec::Binary::Hex);
}

} // namespace sapsim
