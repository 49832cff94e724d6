#include "rfc/Record.h"

#include "dictionary/ScalarCodec.h"

#include <stdexcept>

namespace sapsim {

const Component& Record::component(std::string_view field, size_t& index) const
{
    const int i = m_structure.indexOf(field);
    if (i < 0)
        throw std::logic_error(m_structure.name + " has no field " + std::string(field));
    index = static_cast<size_t>(i);
    return m_structure.components[index];
}

const std::string& Record::get(std::string_view field) const
{
    size_t index = 0;
    component(field, index);
    return m_value.items[index].scalar;
}

int64_t Record::integer(std::string_view field) const
{
    return ScalarCodec::toInteger(get(field));
}

Record& Record::set(std::string_view field, std::string_view text)
{
    size_t index = 0;
    const Component& c = component(field, index);
    m_value.items[index].scalar = ScalarCodec::fromText(c.type.scalar, text, ScalarCodec::Binary::Hex);
    return *this;
}

Record& Record::set(std::string_view field, int64_t number)
{
    return set(field, std::to_string(number));
}

Record Record::append(const Structure& structure, std::vector<Value>& rows)
{
    rows.push_back(initialValue(DataType{TypeKind::Structure, {}, &structure, structure.name}));
    return Record(structure, rows.back());
}

} // namespace sapsim
