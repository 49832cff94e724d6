#include "IntRfcT1StructDef.h"

#include "convert/FieldConversion.h"
#include "model/RfcType.h"
#include "model/StructLayout.h"
#include "session/XTolvane.h"

#include <algorithm>
#include <cstring>

namespace tolvane {
namespace {

constexpr wchar_t kInstallContext[] = L"CIntRfcT1StructDef::install()";

[[noreturn]] void Invalid(const std::wstring& why) { throw CXTolvane(ERROR_INSTALL_STRUCT, why, kInstallContext); }

// The bytes a value of a fixed-size type needs; 0 for types whose size follows their length.
unsigned FixedSize(long abapType) noexcept
{
    switch (abapType) {
    case TYPE_DATE: return 16;
    case TYPE_TIME: return 12;
    case TYPE_FLOAT: return 8;
    case TYPE_INT: return 4;
    case TYPE_INT2: return 2;
    case TYPE_INT1: return 1;
    case TYPE_STRING: return sizeof(RfcStringHandle);
    case TYPE_XSTRING: return sizeof(RfcXStringImage);
    default: return 0;
    }
}

// The declared length, cut to what the field's bytes hold: a structure may give a field fewer
// bytes than its type's default, and no value may run past them.
long WritableLength(const ClassicField& field)
{
    if (const unsigned needed = FixedSize(field.abapType)) {
        if (field.size < needed)
            Invalid(L"field " + field.name + L" has " + std::to_wstring(field.size) + L" bytes, its type needs " +
                    std::to_wstring(needed));
        return field.length;
    }
    switch (field.abapType) {
    case TYPE_CHAR:
    case TYPE_NUM: return std::min<long>(field.length, field.size / 2);
    case TYPE_BYTE: return std::min<long>(field.length, field.size);
    case TYPE_BCD:
        if (field.size == 0)
            Invalid(L"packed field " + field.name + L" has no bytes");
        return std::min<long>(field.length, 2 * static_cast<long>(field.size) - 1);
    default: return 0;
    }
}

} // namespace

CIntRfcT1StructDef::CIntRfcT1StructDef(const classic::EntryPoints& rfc, IRfcType* structure)
{
    com::bstr name;
    com::check(structure->get_name(name.put()));
    m_name = name.str();
    const StructLayout layout = LayoutOf(structure);
    size_t index = 0;
    ForEachComponent(structure, [&](IRfcType* component) {
        // Rows and structures of the library are flat.
        if (KindOf(component) != RFCTYPEKIND_SCALAR)
            throw CXTolvane(ERROR_COMPLEX_TYPE, L"structure " + m_name + L" is not flat", L"CIntRfcT1StructDef()");
        com::bstr fieldName;
        ABAPTYPE type = TYPE_CHAR;
        short length = 0, decimals = 0;
        com::check(component->get_name(fieldName.put()));
        com::check(component->get_ScalarType(&type));
        com::check(component->get_ScalarLength(&length));
        com::check(component->get_ScalarDecimals(&decimals));
        const ComponentLayout& unicode = layout.unicode[index];
        const ComponentLayout& nonUnicode = layout.nonUnicode[index];
        if (unicode.offset < 0 || unicode.length < 0 || nonUnicode.offset < 0 || nonUnicode.length < 0)
            Invalid(L"field " + fieldName.str() + L" has a negative offset or length");
        ClassicField field{fieldName.str(), type, length, decimals, static_cast<unsigned>(unicode.offset),
                           static_cast<unsigned>(unicode.length)};
        field.length = WritableLength(field);
        m_holdsStrings = m_holdsStrings || type == TYPE_STRING || type == TYPE_XSTRING;
        m_fields.push_back(std::move(field));
        m_offsetsC1.push_back(static_cast<unsigned>(nonUnicode.offset));
        m_lengthsC1.push_back(static_cast<unsigned>(nonUnicode.length));
        ++index;
    });
    if (layout.unicodeLength < 0)
        Invalid(L"structure " + m_name + L" has a negative length");
    m_initial.assign(static_cast<size_t>(layout.unicodeLength), 0);
    for (const ClassicField& field : m_fields) {
        if (static_cast<size_t>(field.offset) + field.size > m_initial.size())
            Invalid(L"field " + field.name + L" lies outside structure " + m_name);
        if (const wchar_t fill = FieldFillChar(field.abapType))
            for (unsigned i = 0; i + 1 < field.size; i += 2)
                std::memcpy(&m_initial[field.offset + i], &fill, 2);
    }
    Install(rfc);
}

void CIntRfcT1StructDef::Install(const classic::EntryPoints& rfc)
{
    std::vector<classic::RFC_UNICODE_TYPE_ELEMENT> elements;
    elements.reserve(m_fields.size());
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const ClassicField& f = m_fields[i];
        elements.push_back({const_cast<wchar_t*>(f.name.c_str()), RfcTypeCode(f.abapType), static_cast<unsigned>(f.decimals),
                            m_lengthsC1[i], m_offsetsC1[i], f.size, f.offset, 0, 0});
    }
    if (rfc.RfcInstallUnicodeStructureU(m_name.data(), elements.data(), static_cast<unsigned>(elements.size()), 0,
                                         nullptr, &m_type) != classic::RFC_OK)
        Invalid(L"the library refused structure " + m_name);
}

void CIntRfcT1StructDef::Initialise(void* row) const noexcept
{
    if (!m_initial.empty())
        std::memcpy(row, m_initial.data(), m_initial.size());
}

void CIntRfcT1StructDef::Write(void* row, size_t index, const VARIANT& value, RfcStringHandles& strings) const
{
    const ClassicField& f = m_fields[index];
    RfcVariantToData(static_cast<uint8_t*>(row) + f.offset, f.abapType, f.length, f.decimals, value, strings);
}

com::variant CIntRfcT1StructDef::Read(const void* row, size_t index) const
{
    const ClassicField& f = m_fields[index];
    com::variant value;
    RfcDataToVariant(value, static_cast<const uint8_t*>(row) + f.offset, f.abapType, f.size, f.decimals);
    return value;
}

void CIntRfcT1StructDef::NoteStrings(const void* row, CIntRfcSentStrings& sent) const
{
    if (m_holdsStrings)
        for (const ClassicField& f : m_fields)
            sent.Note(static_cast<const uint8_t*>(row) + f.offset, f.abapType);
}

void CIntRfcT1StructDef::GatherStrings(const void* row, std::vector<void*>& held) const
{
    if (m_holdsStrings)
        for (const ClassicField& f : m_fields)
            if (void* value = CIntRfcStrings::Held(static_cast<const uint8_t*>(row) + f.offset, f.abapType))
                held.push_back(value);
}

void CIntRfcT1StructDef::ReleaseStrings(void* row, const CIntRfcStrings& strings) const noexcept
{
    if (!m_holdsStrings)
        return;
    for (const ClassicField& f : m_fields)
        strings.Release(static_cast<uint8_t*>(row) + f.offset, f.abapType);
}

} // namespace tolvane
