#include "NWRFCDataConverter.h"

#include "NWRfcErrors.h"
#include "com/Bstr.h"
#include "com/SafeArray.h"
#include "com/SafeMath.h"
#include "com/Variant.h"
#include "convert/DateTime.h"
#include "convert/VariantDescription.h"
#include "convert/WhiteSpace.h"
#include "model/RfcField.h"
#include "model/RfcFields.h"
#include "model/RfcRows.h"
#include "model/RfcType.h"
#include "session/Messages.h"
#include "session/SessionRules.h"
#include "session/Trace.h"
#include "session/XTolvane.h"

#include <boost/format.hpp>

#include <climits>
#include <vector>

namespace tolvane {
namespace {

using namespace nwrfc;

std::wstring NameOf(IRfcField* field)
{
    com::bstr name;
    com::check(field->get_name(name.put()));
    return name.str();
}

com::ptr<IRfcType> TypeOf(IRfcField* field)
{
    com::ptr<IRfcType> type;
    com::check(field->get_RfcType(type.put()));
    return type;
}

long Count(IRfcFields* fields)
{
    long count = 0;
    com::check(fields->get_Count(&count));
    return count;
}

com::ptr<IRfcField> FieldAt(IRfcFields* fields, long index)
{
    com::ptr<IRfcField> field;
    com::check(fields->get_Item(com::variant(index).get(), field.put()));
    return field;
}

com::ptr<IRfcParameters> List(IFunctionCall* call, HRESULT (STDMETHODCALLTYPE IFunctionCall::*getter)(IRfcParameters**))
{
    com::ptr<IRfcParameters> list;
    com::check((call->*getter)(list.put()));
    return list;
}

// "prefix-name=value" or "name=value", with secrets masked.
void TraceValue(std::wstring_view prefix, const std::wstring& name, const com::variant& value)
{
    const std::wstring shown = IsSecretName(name) ? L"********" : VariantValueDisplay(value.get());
    TRACE_LOG(ostrel::TRACE_INFORMATION, prefix.empty()
                                             ? (boost::wformat(L"%1%=%2%") % name % shown).str()
                                             : (boost::wformat(L"%1%-%2%=%3%") % std::wstring(prefix) % name % shown).str());
}

// The value as `type`; a value that does not convert fails with the coercion's result.
com::variant Coerced(const com::variant& value, VARTYPE type, const std::wstring& name, LCID locale = LOCALE_USER_DEFAULT)
{
    com::variant converted;
    const HRESULT hr = value.try_as(type, converted, locale);
    if (FAILED(hr)) {
        TRACE_LOG(ostrel::TRACE_ERROR, L"putScalarVal(" + name + L"): the value does not convert for the field");
        throw com::hresult_error(hr, L"the value of " + name + L" does not convert to the field's type");
    }
    return converted;
}

// A value as a number of `type`; one that is no number, or does not fit, fails with the
// conversion message every transport gives for it.
com::variant Number(const com::variant& value, VARTYPE type, const wchar_t* abapType)
{
    com::variant converted;
    if (FAILED(value.try_as(type, converted)))
        throw CXTolvane(NUMERIC_CONVERSION, L"value does not convert to the field's number type",
                        std::wstring(L"putScalarVal(),") + abapType, VariantValueDisplay(value.get()));
    return converted;
}

std::wstring_view TextOf(const com::variant& text) noexcept { return com::view(V_BSTR(text.addr())); }

bool Blank(std::wstring_view text) noexcept
{
    for (wchar_t c : text)
        if (!IsWhiteSpace(c))
            return false;
    return true;
}

com::variant ByteArray(const uint8_t* bytes, size_t count)
{
    com::safearray array = com::safearray::bytes(count);
    if (count) {
        com::array_data<uint8_t> data(array.get());
        std::copy(bytes, bytes + count, data.data());
    }
    com::variant value;
    V_VT(value.put()) = VT_ARRAY | VT_UI1;
    V_ARRAY(value.addr()) = array.detach();
    return value;
}

bool ValidTime(const RFC_CHAR* time) noexcept
{
    for (int i = 0; i < 6; ++i)
        if (time[i] < L'0' || time[i] > L'9')
            return false;
    const int hours = (time[0] - L'0') * 10 + time[1] - L'0';
    const int minutes = (time[2] - L'0') * 10 + time[3] - L'0';
    const int seconds = (time[4] - L'0') * 10 + time[5] - L'0';
    return hours < 24 && minutes < 60 && seconds < 60;
}

} // namespace

void CNWRFCDataConverter::Check(RFC_RC rc, const std::wstring& label)
{
    if (rc == RFC_OK)
        return;
    if (!label.empty())
        TRACE_LOG(ostrel::TRACE_ERROR, label);
    TRACE_LOG(ostrel::TRACE_ERROR, (boost::wformat(L"RFC Error %1%: %2%") % nw::FieldText(m_errorInfo.key) %
                                    nw::FieldText(m_errorInfo.message))
                                       .str());
    throw MessageError(msg::RfcError);
}

void CNWRFCDataConverter::FillOutgoingArgs(IFunctionCall* call, RFC_FUNCTION_HANDLE function)
{
    putRfcArgs(List(call, &IFunctionCall::get_Importing).get(), function, L"IMPORTING", true);
    putRfcArgs(List(call, &IFunctionCall::get_Changing).get(), function, L"CHANGING", false);
    putRfcArgs(List(call, &IFunctionCall::get_Tables).get(), function, L"TABLES", false);
    com::ptr<IRfcParameters> exporting = List(call, &IFunctionCall::get_Exporting);
    long count = 0;
    com::check(exporting->get_Count(&count));
    for (long i = 1; i <= count; ++i) {
        com::ptr<IRfcParameter> parameter;
        com::check(exporting->get_Item(com::variant(i).get(), parameter.put()));
        com::bstr name;
        VARIANT_BOOL requested = VARIANT_TRUE;
        com::check(parameter->get_name(name.put()));
        com::check(parameter->get_IsRequested(&requested));
        Check(m_rfc.RfcSetParameterActive(function, name.str().c_str(), requested != VARIANT_FALSE ? 1 : 0, &m_errorInfo),
              name.str());
    }
}

void CNWRFCDataConverter::FillIncomingArgs(RFC_RC invokeResult, RFC_FUNCTION_HANDLE function, IFunctionCall* call)
{
    if (invokeResult == RFC_OK) {
        getRfcArgs(function, List(call, &IFunctionCall::get_Exporting).get(), L"EXPORTING");
        getRfcArgs(function, List(call, &IFunctionCall::get_Changing).get(), L"CHANGING");
    }
    if (invokeResult == RFC_OK || invokeResult == RFC_ABAP_EXCEPTION)
        getRfcArgs(function, List(call, &IFunctionCall::get_Tables).get(), L"TABLES");
    TRACE_LOG(ostrel::TRACE_INFORMATION, L"leaving");
}

void CNWRFCDataConverter::putRfcArgs(IRfcParameters* parameters, DATA_CONTAINER_HANDLE container,
                                     std::wstring_view label, bool deactivateEmpty)
{
    long count = 0;
    com::check(parameters->get_Count(&count));
    for (long i = 1; i <= count; ++i) {
        com::ptr<IRfcParameter> parameter;
        com::check(parameters->get_Item(com::variant(i).get(), parameter.put()));
        VARIANT_BOOL requested = VARIANT_TRUE, empty = VARIANT_FALSE;
        com::check(parameter->get_IsRequested(&requested));
        com::check(parameter->get_IsEmpty(&empty));
        com::ptr<IRfcField> field;
        com::check(parameter->get_InternalField(field.put()));
        try {
            if (requested == VARIANT_FALSE || (empty != VARIANT_FALSE && deactivateEmpty)) {
                // Not supplied: the function module applies its own default.
                const std::wstring name = NameOf(field.get());
                Check(m_rfc.RfcSetParameterActive(container, name.c_str(), 0, &m_errorInfo), name);
            }
            if (empty == VARIANT_FALSE)
                putRfcField(field.get(), container, true, L"");
        } catch (...) {
            TRACE_LOG(ostrel::TRACE_ERROR, (boost::wformat(L"putRfcArgs(%1%) failed") % std::wstring(label)).str());
            throw;
        }
    }
}

void CNWRFCDataConverter::putRfcField(IRfcField* field, DATA_CONTAINER_HANDLE container, bool trace,
                                      std::wstring_view prefix)
{
    com::ptr<IRfcType> type = TypeOf(field);
    const std::wstring name = NameOf(field);
    switch (KindOf(type.get())) {
    case RFCTYPEKIND_SCALAR:
        putScalarVal(field, type.get(), container, trace, prefix);
        return;
    case RFCTYPEKIND_STRUCT: {
        RFC_STRUCTURE_HANDLE structure = nullptr;
        Check(m_rfc.RfcGetStructure(container, name.c_str(), &structure, &m_errorInfo),
              [&] { return (boost::wformat(L"RfcGetStructure([%1%])") % name).str(); });
        com::ptr<IRfcFields> fields;
        com::check(field->get_Fields(fields.put()));
        try {
            putStructFields(fields.get(), structure, trace, name);
        } catch (...) {
            TRACE_LOG(ostrel::TRACE_ERROR, (boost::wformat(L"putStructFields(%1%)") % name).str());
            throw;
        }
        return;
    }
    case RFCTYPEKIND_TABLE:
        putTable(field, name, container);
        return;
    default:
        TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"putRfcField(%1%): leaving") % name).str());
        return;
    }
}

void CNWRFCDataConverter::putTable(IRfcField* field, const std::wstring& name, DATA_CONTAINER_HANDLE container)
{
    com::ptr<IRfcRows> rows;
    com::check(field->get_Rows(rows.put()));
    long count = 0;
    com::check(rows->get_Count(&count));
    RFC_TABLE_HANDLE table = nullptr;
    Check(m_rfc.RfcGetTable(container, name.c_str(), &table, &m_errorInfo),
          [&] { return (boost::wformat(L"RfcGetTable([%1%])") % name).str(); });
    Check(m_rfc.RfcDeleteAllRows(table, &m_errorInfo), [&] { return (boost::wformat(L"RfcDeleteAllRows([%1%])") % name).str(); });
    if (count == 0)
        return;
    Check(m_rfc.RfcAppendNewRows(table, static_cast<unsigned>(count), &m_errorInfo),
          [&] { return (boost::wformat(L"RfcAppendNewRows([%1%], %2%)") % name % count).str(); });
    auto ours = com::implementation<CRfcRows>(rows.get());
    const std::vector<Column> columns = ours ? ScalarColumns(ours->RowType()) : std::vector<Column>();
    for (long t = 1; t <= count; ++t) {
        com::ptr<IRfcFields> row;
        com::check(rows->get_Item(t, row.put()));
        RFC_STRUCTURE_HANDLE current = m_rfc.RfcGetCurrentRow(table, &m_errorInfo);
        Check(current ? RFC_OK : m_errorInfo.code, [&] { return (boost::wformat(L"RfcGetCurrentRow([%1%])") % name).str(); });
        try {
            // A row made before its type changed has other fields: it goes the general way.
            if (!columns.empty() && static_cast<CRfcFields&>(*row).Size() == columns.size())
                PutRow(static_cast<CRfcFields&>(*row), columns, current);
            else
                putStructFields(row.get(), current, false, L"");
        } catch (...) {
            TRACE_LOG(ostrel::TRACE_ERROR, (boost::wformat(L"PutStructFields(%1%[%2%])") % name % t).str());
            throw;
        }
        if (t != count)
            Check(m_rfc.RfcMoveToNextRow(table, &m_errorInfo),
                  [&] { return (boost::wformat(L"RfcMoveToNextRow(%1%[%2%])") % name % t).str(); });
    }
}

void CNWRFCDataConverter::putStructFields(IRfcFields* fields, DATA_CONTAINER_HANDLE container, bool trace,
                                          std::wstring_view prefix)
{
    const long count = Count(fields);
    for (long i = 1; i <= count; ++i)
        putRfcField(FieldAt(fields, i).get(), container, trace, prefix);
}

void CNWRFCDataConverter::putScalarVal(IRfcField* field, IRfcType* type, DATA_CONTAINER_HANDLE container, bool trace,
                                       std::wstring_view prefix)
{
    const std::wstring name = NameOf(field);
    com::variant value;
    com::check(field->get_value(value.put()));
    if (trace)
        TraceValue(prefix, name, value);
    ABAPTYPE abapType = TYPE_CHAR;
    com::check(type->get_ScalarType(&abapType));
    WriteScalar(container, name, abapType, value);
}

void CNWRFCDataConverter::WriteScalar(DATA_CONTAINER_HANDLE container, const std::wstring& name, ABAPTYPE abapType,
                                      const com::variant& value)
{
    if (value.vt() == VT_EMPTY || value.vt() == VT_NULL)
        return; // the library field keeps its initial value
    const wchar_t* n = name.c_str();
    switch (abapType) {
    case TYPE_CHAR:
    case TYPE_NUM:
    case TYPE_STRING: {
        const com::variant text = Coerced(value, VT_BSTR, name);
        const std::wstring_view chars = TextOf(text);
        const auto setter = abapType == TYPE_NUM ? m_rfc.RfcSetNum : abapType == TYPE_STRING ? m_rfc.RfcSetString : m_rfc.RfcSetChars;
        Check(setter(container, n, chars.data(), static_cast<unsigned>(chars.size()), &m_errorInfo), name);
        return;
    }
    case TYPE_BCD: {
        // Numbers go in the form SAP reads, whatever the user's locale; a blank is zero.
        const com::variant text = Coerced(value, VT_BSTR, name, value.vt() == VT_BSTR ? LOCALE_USER_DEFAULT : LOCALE_INVARIANT);
        const std::wstring chars = Blank(TextOf(text)) ? L"0" : std::wstring(TextOf(text));
        Check(m_rfc.RfcSetChars(container, n, chars.data(), static_cast<unsigned>(chars.size()), &m_errorInfo), name);
        return;
    }
    case TYPE_DATE: {
        wchar_t date[kAbapDateLength] = {};
        VariantToAbapDate(date, value.get());
        Check(m_rfc.RfcSetDate(container, n, date, &m_errorInfo), name);
        return;
    }
    case TYPE_TIME: {
        wchar_t time[kAbapTimeLength] = {};
        VariantToAbapTime(time, value.get());
        Check(m_rfc.RfcSetTime(container, n, time, &m_errorInfo), name);
        return;
    }
    case TYPE_FLOAT:
        Check(m_rfc.RfcSetFloat(container, n, V_R8(Number(value, VT_R8, L"TYPE_FLOAT").addr()), &m_errorInfo), name);
        return;
    case TYPE_INT: {
        // Cutting a larger number to its low four bytes would send another number.
        const long long number = V_I8(Number(value, VT_I8, L"TYPE_INT").addr());
        if (number < INT_MIN || number > INT_MAX)
            throw CXTolvane(NUMERIC_CONVERSION, L"value does not fit a 4-byte integer", L"putScalarVal(),TYPE_INT",
                            VariantValueDisplay(value.get()));
        Check(m_rfc.RfcSetInt(container, n, static_cast<RFC_INT>(number), &m_errorInfo), name);
        return;
    }
    case TYPE_INT2:
        Check(m_rfc.RfcSetInt2(container, n, V_I2(Number(value, VT_I2, L"TYPE_INT2").addr()), &m_errorInfo), name);
        return;
    case TYPE_INT1:
        Check(m_rfc.RfcSetInt1(container, n, V_UI1(Number(value, VT_UI1, L"TYPE_INT1").addr()), &m_errorInfo), name);
        return;
    case TYPE_BYTE:
    case TYPE_XSTRING: {
        const com::variant bytes = Coerced(value, VT_ARRAY | VT_UI1, name);
        if (SafeArrayGetDim(V_ARRAY(bytes.addr())) != 1)
            throw com::hresult_error(E_INVALIDARG, L"the value of " + name + L" is not a one-dimensional byte array");
        com::array_data<uint8_t> data(V_ARRAY(bytes.addr()));
        Check(m_rfc.RfcSetXString(container, n, data.data(), com::checked_cast<unsigned>(data.size()), &m_errorInfo),
              name);
        return;
    }
    default:
        return;
    }
}

void CNWRFCDataConverter::getRfcArgs(DATA_CONTAINER_HANDLE container, IRfcParameters* parameters,
                                     std::wstring_view label)
{
    long count = 0;
    com::check(parameters->get_Count(&count));
    for (long i = 1; i <= count; ++i) {
        com::ptr<IRfcParameter> parameter;
        com::check(parameters->get_Item(com::variant(i).get(), parameter.put()));
        VARIANT_BOOL requested = VARIANT_TRUE;
        com::check(parameter->get_IsRequested(&requested));
        if (requested == VARIANT_FALSE)
            continue;
        com::ptr<IRfcField> field;
        com::check(parameter->get_InternalField(field.put()));
        try {
            getRfcField(container, field.get(), true, L"");
        } catch (...) {
            TRACE_LOG(ostrel::TRACE_ERROR, (boost::wformat(L"getRfcArgs(%1%) failed") % std::wstring(label)).str());
            throw;
        }
    }
}

void CNWRFCDataConverter::getRfcField(DATA_CONTAINER_HANDLE container, IRfcField* field, bool trace,
                                      std::wstring_view prefix)
{
    com::ptr<IRfcType> type = TypeOf(field);
    const std::wstring name = NameOf(field);
    switch (KindOf(type.get())) {
    case RFCTYPEKIND_SCALAR:
        getScalarVal(container, field, type.get(), trace, prefix);
        return;
    case RFCTYPEKIND_STRUCT: {
        RFC_STRUCTURE_HANDLE structure = nullptr;
        Check(m_rfc.RfcGetStructure(container, name.c_str(), &structure, &m_errorInfo),
              [&] { return (boost::wformat(L"RfcGetStructure([%1%])") % name).str(); });
        com::ptr<IRfcFields> fields;
        com::check(field->get_Fields(fields.put()));
        try {
            getStructFields(structure, fields.get(), trace, name);
        } catch (...) {
            TRACE_LOG(ostrel::TRACE_ERROR, (boost::wformat(L"GetStructFields(%1%)") % name).str());
            throw;
        }
        return;
    }
    case RFCTYPEKIND_TABLE:
        getTable(container, field, name);
        return;
    default:
        return;
    }
}

void CNWRFCDataConverter::getTable(DATA_CONTAINER_HANDLE container, IRfcField* field, const std::wstring& name)
{
    com::ptr<IRfcRows> rows;
    com::check(field->get_Rows(rows.put()));
    com::check(rows->RemoveAll());
    RFC_TABLE_HANDLE table = nullptr;
    Check(m_rfc.RfcGetTable(container, name.c_str(), &table, &m_errorInfo),
          [&] { return (boost::wformat(L"RfcGetTable([%1%])") % name).str(); });
    unsigned count = 0;
    Check(m_rfc.RfcGetRowCount(table, &count, &m_errorInfo), L"GetRowCount");
    if (count == 0)
        return;
    Check(m_rfc.RfcMoveToFirstRow(table, &m_errorInfo), [&] { return (boost::wformat(L"RfcMoveToNextRow(%1%)") % name).str(); });
    // All rows at once: one allocation for the collection instead of one per row.
    com::check(rows->AddRows(com::checked_cast<long>(count)));
    auto ours = com::implementation<CRfcRows>(rows.get());
    const std::vector<Column> columns = ours ? ScalarColumns(ours->RowType()) : std::vector<Column>();
    for (unsigned r = 0; r < count; ++r) {
        com::ptr<IRfcFields> row;
        com::check(rows->get_Item(static_cast<long>(r + 1), row.put()));
        try {
            // The scalar getters read the current row through the table handle itself.
            if (!columns.empty() && static_cast<CRfcFields&>(*row).Size() == columns.size()) {
                GetRow(table, columns, static_cast<CRfcFields&>(*row));
            } else {
                RFC_STRUCTURE_HANDLE current = m_rfc.RfcGetCurrentRow(table, &m_errorInfo);
                Check(current ? RFC_OK : m_errorInfo.code,
                      [&] { return (boost::wformat(L"RfcGetCurrentRow(%1%[%2%])") % name % r).str(); });
                getStructFields(current, row.get(), false, L"");
            }
        } catch (...) {
            TRACE_LOG(ostrel::TRACE_ERROR, (boost::wformat(L"getStructFields(%1%[%2%])") % name % r).str());
            throw;
        }
        if (r + 1 != count)
            Check(m_rfc.RfcMoveToNextRow(table, &m_errorInfo),
                  [&] { return (boost::wformat(L"RfcMoveToNextRow(%1%[%2%])") % name % r).str(); });
    }
}

void CNWRFCDataConverter::getStructFields(DATA_CONTAINER_HANDLE container, IRfcFields* fields, bool trace,
                                          std::wstring_view prefix)
{
    const long count = Count(fields);
    for (long i = 1; i <= count; ++i)
        getRfcField(container, FieldAt(fields, i).get(), trace, prefix);
}

void CNWRFCDataConverter::getScalarVal(DATA_CONTAINER_HANDLE container, IRfcField* field, IRfcType* type, bool trace,
                                       std::wstring_view prefix)
{
    const std::wstring name = NameOf(field);
    ABAPTYPE abapType = TYPE_CHAR;
    short length = 0;
    com::check(type->get_ScalarType(&abapType));
    com::check(type->get_ScalarLength(&length));
    const com::variant value = ReadScalar(container, name, abapType, length);
    if (trace)
        TraceValue(prefix, name, value);
    com::check(field->put_value(value.get()));
}

com::variant CNWRFCDataConverter::ReadScalar(DATA_CONTAINER_HANDLE container, const std::wstring& name,
                                             ABAPTYPE abapType, short length)
{
    const wchar_t* n = name.c_str();
    const unsigned width = length > 0 ? static_cast<unsigned>(length) : 0u;
    com::variant value;
    switch (abapType) {
    case TYPE_CHAR:
    case TYPE_NUM:
    case TYPE_BCD: {
        // A packed number needs room for its sign besides its digits.
        value = com::variant(TrimEnd(ReadChars(container, name, abapType == TYPE_BCD ? width + 1 : width)));
        break;
    }
    case TYPE_STRING: {
        unsigned size = 0;
        Check(m_rfc.RfcGetStringLength(container, n, &size, &m_errorInfo), name);
        std::vector<RFC_CHAR> chars(com::checked_add<size_t>(size, 1));
        Check(m_rfc.RfcGetChars(container, n, chars.data(), static_cast<unsigned>(chars.size()), &m_errorInfo), name);
        value = com::variant(std::wstring_view(chars.data(), size));
        break;
    }
    case TYPE_DATE: {
        RFC_CHAR date[kAbapDateLength];
        Check(m_rfc.RfcGetDate(container, n, date, &m_errorInfo), name);
        if (!AbapDateToVariant(value, date))
            throw MessageError(msg::InvalidDateTime);
        break;
    }
    case TYPE_TIME: {
        RFC_CHAR time[kAbapTimeLength];
        Check(m_rfc.RfcGetTime(container, n, time, &m_errorInfo), name);
        if (!ValidTime(time))
            throw MessageError(msg::InvalidDateTime);
        AbapTimeToVariant(value, time);
        break;
    }
    case TYPE_FLOAT: {
        RFC_FLOAT number = 0;
        Check(m_rfc.RfcGetFloat(container, n, &number, &m_errorInfo), name);
        value = com::variant(number);
        break;
    }
    case TYPE_INT: {
        // Four bytes, as scripts can use them (they know no 8-byte integer).
        RFC_INT number = 0;
        Check(m_rfc.RfcGetInt(container, n, &number, &m_errorInfo), name);
        value = com::variant(static_cast<long>(number));
        break;
    }
    case TYPE_INT2: {
        RFC_INT2 number = 0;
        Check(m_rfc.RfcGetInt2(container, n, &number, &m_errorInfo), name);
        value = com::variant(number);
        break;
    }
    case TYPE_INT1: {
        // The library's INT1 is 0 to 255: a two-byte integer holds it as every transport reads it.
        RFC_INT1 number = 0;
        Check(m_rfc.RfcGetInt1(container, n, &number, &m_errorInfo), name);
        value = com::variant(static_cast<short>(number));
        break;
    }
    case TYPE_BYTE:
    case TYPE_XSTRING: {
        unsigned size = width;
        if (abapType == TYPE_XSTRING)
            Check(m_rfc.RfcGetStringLength(container, n, &size, &m_errorInfo), name);
        std::vector<SAP_RAW> bytes(size);
        unsigned written = 0;
        Check(m_rfc.RfcGetXString(container, n, bytes.data(), size, &written, &m_errorInfo), name);
        value = ByteArray(bytes.data(), written < size ? written : size);
        break;
    }
    default:
        break;
    }
    return value;
}

std::wstring_view CNWRFCDataConverter::ReadChars(DATA_CONTAINER_HANDLE container, const std::wstring& name,
                                                 size_t count)
{
    m_chars.assign(count, 0);
    Check(m_rfc.RfcGetChars(container, name.c_str(), m_chars.data(), static_cast<unsigned>(count), &m_errorInfo), name);
    return std::wstring_view(m_chars.data(), count);
}

void CNWRFCDataConverter::PutRow(const CRfcFields& row, const std::vector<Column>& columns, DATA_CONTAINER_HANDLE current)
{
    for (size_t c = 0; c < columns.size(); ++c)
        WriteScalar(current, columns[c].name, columns[c].type, static_cast<CRfcField*>(row.At(c))->Value());
}

void CNWRFCDataConverter::GetRow(DATA_CONTAINER_HANDLE current, const std::vector<Column>& columns, CRfcFields& row)
{
    for (size_t c = 0; c < columns.size(); ++c)
        static_cast<CRfcField*>(row.At(c))->SetValue(ReadScalar(current, columns[c].name, columns[c].type, columns[c].length));
}

std::vector<CNWRFCDataConverter::Column> CNWRFCDataConverter::ScalarColumns(IRfcType* rowType)
{
    std::vector<Column> columns;
    bool scalars = rowType != nullptr;
    if (scalars)
        ForEachComponent(rowType, [&](IRfcType* component) {
            if (KindOf(component) != RFCTYPEKIND_SCALAR) {
                scalars = false;
                return;
            }
            com::bstr name;
            Column column{{}, TYPE_CHAR, 0};
            com::check(component->get_name(name.put()));
            com::check(component->get_ScalarType(&column.type));
            com::check(component->get_ScalarLength(&column.length));
            column.name = name.str();
            columns.push_back(std::move(column));
        });
    return scalars ? columns : std::vector<Column>();
}

} // namespace tolvane
