#include "TypeDesc.h"

#include <cwchar>

namespace nwrfc {
namespace {

unsigned requiredLength(const std::vector<RFC_FIELD_DESC>& fields, bool unicode)
{
    unsigned end = 0;
    for (const RFC_FIELD_DESC& f : fields)
        end = std::max(end, unicode ? f.ucOffset + f.ucLength : f.nucOffset + f.nucLength);
    return end;
}

} // namespace

std::shared_ptr<TypeDesc> typeFromHandle(RFC_TYPE_DESC_HANDLE handle)
{
    return resolve<TypeDesc>(handle, HandleKind::TypeDesc, "type description").shared();
}

void TypeDesc::addField(const RFC_FIELD_DESC& field)
{
    if (m_frozen || m_cached)
        illegalState("type " + toUtf8(m_name) + " is in use and cannot change");
    if (field.name[0] == 0)
        invalidParameter("a field needs a name");
    if (indexOf(view(field.name)) >= 0)
        invalidParameter("type " + toUtf8(m_name) + " has a field " + toUtf8(view(field.name)) + " already");
    RFC_FIELD_DESC copy = field;
    copy.name[30] = 0;
    if (field.type == RFCTYPE_STRUCTURE || field.type == RFCTYPE_TABLE) {
        if (field.typeDescHandle == nullptr)
            invalidParameter("field " + toUtf8(view(copy.name)) + " needs a type description");
        auto nested = typeFromHandle(field.typeDescHandle);
        // A structure inside itself would make every container of it endless.
        if (field.type == RFCTYPE_STRUCTURE && nested->holds(*this))
            invalidParameter("type " + toUtf8(m_name) + " cannot contain itself");
        if (field.type == RFCTYPE_STRUCTURE)
            m_inline.push_back(nested.get());
        m_nested.push_back(std::move(nested));
    }
    m_fields.push_back(copy);
}

bool TypeDesc::holds(const TypeDesc& other) const
{
    if (this == &other)
        return true;
    for (const TypeDesc* nested : m_inline)
        if (nested->holds(other))
            return true;
    return false;
}

void TypeDesc::setLength(unsigned nucLength, unsigned ucLength)
{
    if (m_frozen || m_cached)
        illegalState("type " + toUtf8(m_name) + " is in use and cannot change");
    if (nucLength < requiredLength(m_fields, false) || ucLength < requiredLength(m_fields, true))
        invalidParameter("the lengths of type " + toUtf8(m_name) + " are smaller than its fields need");
    m_nucLength = nucLength;
    m_ucLength = ucLength;
    m_lengthSet = true;
}

int TypeDesc::indexOf(Uview fieldName) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (view(m_fields[i].name) == fieldName)
            return static_cast<int>(i);
    return -1;
}

const RFC_FIELD_DESC& TypeDesc::field(Uview fieldName) const
{
    const int i = indexOf(fieldName);
    if (i < 0)
        notFound("RFC_INVALID_PARAMETER", "type " + toUtf8(m_name) + " has no field " + toUtf8(fieldName));
    return m_fields[static_cast<size_t>(i)];
}

void TypeDesc::freeze()
{
    if (!m_lengthSet && !m_cached)
        illegalState("type " + toUtf8(m_name) + " has no length set (RfcSetTypeLength)");
    m_frozen = true;
    for (const auto& nested : m_nested)
        nested->freeze();
}

} // namespace nwrfc
