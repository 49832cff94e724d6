#include "IntRfcParam.h"

#include "com/Bstr.h"
#include "com/Variant.h"
#include "convert/FieldConversion.h"
#include "convert/VariantDescription.h"
#include "model/StructLayout.h"
#include "session/SessionRules.h"
#include "session/Trace.h"
#include "session/XTolvane.h"

#include <algorithm>
#include <new>

namespace tolvane {
namespace {

com::ptr<IRfcType> TypeOf(IRfcParameter* parameter)
{
    com::ptr<IRfcType> type;
    com::check(parameter->get_RfcType(type.put()));
    return type;
}

} // namespace

bool IsUnsetValue(const VARIANT& value) noexcept
{
    return V_VT(&value) == VT_EMPTY || V_VT(&value) == VT_ERROR ||
           (V_VT(&value) == VT_BSTR && SysStringLen(V_BSTR(&value)) == 0);
}

std::wstring TracedValue(std::wstring_view name, const VARIANT& value)
{
    return IsSecretName(name) ? L"********" : VariantValueDisplay(value);
}

CIntRfcParam::CIntRfcParam(const classic::EntryPoints& rfc, IRfcParameter* parameter, classic::RFC_PARAMETER& descriptor)
    : m_parameter(com::share(parameter)), m_descriptor(descriptor), m_strings(rfc)
{
    com::bstr name;
    com::check(parameter->get_name(name.put()));
    m_name = name.str();
    m_descriptor.name = m_name.data();
    m_descriptor.nlen = static_cast<unsigned>(m_name.size());
}

std::unique_ptr<CIntRfcParam> CIntRfcParam::Create(const classic::EntryPoints& rfc, IRfcParameter* parameter,
                                                   classic::RFC_PARAMETER& descriptor)
{
    long kind = 0;
    com::check(parameter->get_InternalType(&kind));
    switch (kind) {
    case 1: return std::make_unique<CIntRfcScalarParam>(rfc, parameter, descriptor);
    case 2: return std::make_unique<CIntRfcStructParam>(rfc, parameter, descriptor);
    default: throw CXTolvane(ERROR_COMPLEX_TYPE, {}, L"CIntRfcParam::Create()");
    }
}

uint8_t* CIntRfcParam::Allocate(size_t bytes)
{
    try {
        m_buffer.assign(std::max<size_t>((bytes + 7) / 8, 1), 0);
    } catch (const std::bad_alloc&) {
        throw CXTolvane(MEMORY_ALLOC_EXCEPTION, L"no memory for the value of " + m_name);
    }
    m_descriptor.leng = static_cast<unsigned>(bytes);
    m_descriptor.addr = m_buffer.data();
    return Buffer();
}

CIntRfcScalarParam::CIntRfcScalarParam(const classic::EntryPoints& rfc, IRfcParameter* parameter,
                                       classic::RFC_PARAMETER& descriptor)
    : CIntRfcParam(rfc, parameter, descriptor)
{
    ostrel::TraceFormat(L"scalar param '%s' (", m_name.c_str());
    const com::ptr<IRfcType> type = TypeOf(parameter);
    ABAPTYPE abapType = TYPE_CHAR;
    com::check(type->get_ScalarType(&abapType));
    com::check(type->get_ScalarLength(&m_length));
    com::check(type->get_ScalarDecimals(&m_decimals));
    m_type = abapType;
    ostrel::TraceContinue(L"type=%u len=%u dec=%u", static_cast<unsigned>(m_type), static_cast<unsigned>(m_length),
                          static_cast<unsigned>(m_decimals));
    m_descriptor.type = RfcTypeCode(m_type);
    const long bytes = std::max<long>(DefaultLength(m_type, m_length, true), 0);
    ostrel::TraceContinue(L" blen=%u", static_cast<unsigned>(bytes));
    uint8_t* buffer = Allocate(static_cast<size_t>(bytes));
    if (const wchar_t fill = FieldFillChar(m_type))
        std::fill_n(reinterpret_cast<wchar_t*>(buffer), bytes / 2, fill);

    com::variant value;
    com::check(parameter->get_value(value.put()));
    if (IsUnsetValue(value.get())) {
        ostrel::TraceContinue(L")\n");
        return;
    }
    RfcVariantToData(buffer, m_type, m_length, m_decimals, value.get(), m_strings);
    m_sent.Note(buffer, m_type);
    if (ostrel::TraceOpened())
        ostrel::TraceContinue(L" val=%s)\n", TracedValue(m_name, value.get()).c_str());
}

CIntRfcScalarParam::~CIntRfcScalarParam()
{
    m_sent.FreeReplaced(m_strings, {CIntRfcStrings::Held(Buffer(), m_type)});
    m_strings.Release(Buffer(), m_type);
}

void CIntRfcScalarParam::getValue()
{
    com::variant value;
    RfcDataToVariant(value, Buffer(), m_type, static_cast<int>(m_descriptor.leng), m_decimals);
    com::check(m_parameter->put_value(value.get()));
    if (ostrel::TraceOpened())
        ostrel::TraceFormat(L"received scalar '%s' val=%s\n", m_name.c_str(), TracedValue(m_name, value.get()).c_str());
}

CIntRfcStructParam::CIntRfcStructParam(const classic::EntryPoints& rfc, IRfcParameter* parameter,
                                       classic::RFC_PARAMETER& descriptor)
    : CIntRfcParam(rfc, parameter, descriptor)
{
    ostrel::TraceFormat(L"struct param '%s'\t(", m_name.c_str());
    m_definition.emplace(rfc, TypeOf(parameter).get());
    const CIntRfcT1StructDef& definition = *m_definition;
    ostrel::TraceContinue(L"%s(fc=%u,leng=%u)", definition.Name().c_str(),
                          static_cast<unsigned>(definition.Fields().size()), definition.Length());
    m_descriptor.type = definition.Type();
    uint8_t* buffer = Allocate(definition.Length());
    definition.Initialise(buffer);
    ostrel::TraceContinue(L" val=|");
    com::check(parameter->get_Fields(m_fields.put()));
    try {
        WriteFields(definition, buffer);
        definition.NoteStrings(buffer, m_sent);
    } catch (...) {
        ReleaseStrings(); // the destructor does not run for a constructor that throws
        throw;
    }
    ostrel::TraceContinue(L")\n");
}

void CIntRfcStructParam::WriteFields(const CIntRfcT1StructDef& definition, uint8_t* buffer)
{
    long count = 0;
    com::check(m_fields->get_Count(&count));
    const size_t fields = std::min(static_cast<size_t>(std::max(count, 0L)), definition.Fields().size());
    for (size_t i = 0; i < fields; ++i) {
        com::ptr<IRfcField> field;
        com::check(m_fields->get_Item(com::variant(static_cast<long>(i + 1)).get(), field.put()));
        com::variant value;
        com::check(field->get_value(value.put()));
        if (IsUnsetValue(value.get())) {
            ostrel::TraceContinue(L" | ");
            continue;
        }
        definition.Write(buffer, i, value.get(), m_strings);
        if (ostrel::TraceOpened())
            ostrel::TraceContinue(L"%s|", TracedField(definition.Fields()[i].name, value.get()).c_str());
    }
}

std::wstring CIntRfcStructParam::TracedField(const std::wstring& field, const VARIANT& value) const
{
    // A structure named like a password hides every field, whatever the fields are called.
    return TracedValue(IsSecretName(m_name) ? m_name : field, value);
}

void CIntRfcStructParam::ReleaseStrings() noexcept
{
    if (!m_definition->HoldsStrings())
        return;
    std::vector<void*> held;
    m_definition->GatherStrings(Buffer(), held);
    m_sent.FreeReplaced(m_strings, std::move(held));
    m_definition->ReleaseStrings(Buffer(), m_strings);
}

void CIntRfcStructParam::getValue()
{
    ostrel::TraceFormat(L"received struct '%s' val=|", m_name.c_str());
    long count = 0;
    com::check(m_fields->get_Count(&count));
    const CIntRfcT1StructDef& definition = *m_definition;
    const size_t fields = std::min(static_cast<size_t>(std::max(count, 0L)), definition.Fields().size());
    for (size_t i = 0; i < fields; ++i) {
        const com::variant value = definition.Read(Buffer(), i);
        com::ptr<IRfcField> field;
        com::check(m_fields->get_Item(com::variant(static_cast<long>(i + 1)).get(), field.put()));
        com::check(field->put_value(value.get()));
        if (ostrel::TraceOpened())
            ostrel::TraceContinue(L"%s|", TracedField(definition.Fields()[i].name, value.get()).c_str());
    }
    ostrel::TraceContinue(L"\n");
}

} // namespace tolvane
