#include "SoapValues.h"

#include "SoapComponent.h"
#include "convert/DateTime.h"
#include "model/RfcField.h"
#include "model/RfcRows.h"
#include "model/RfcType.h"
#include "session/Trace.h"
#include "session/XTolvane.h"
#include "com/SafeArray.h"

#include <cwchar>

namespace tolvane::soap {
namespace {

// The trace of one document's values, written only while a trace is open.
class ValueTrace {
public:
    ValueTrace() : on_(ostrel::TraceIsOpen()) {}
    void Piece(const wchar_t* text) const
    {
        if (on_)
            ostrel::TraceContinue(L"%s", text);
    }
    void Value(const std::wstring& display) const
    {
        if (on_)
            ostrel::TraceContinue(L"'%s'", display.c_str());
    }
    void Start(const std::wstring& name) const
    {
        if (on_)
            ostrel::TraceFormat(L"--> %s = ", name.c_str());
    }
    bool On() const noexcept { return on_; }

private:
    bool on_;
};

struct Scalar {
    long type;
    com::variant value;
};

Scalar ScalarOf(IRfcField* field, IRfcType* type)
{
    Scalar s{};
    ABAPTYPE abapType = TYPE_CHAR;
    com::check(type->get_ScalarType(&abapType));
    s.type = abapType;
    com::check(field->get_value(s.value.put()));
    return s;
}

[[noreturn]] void Fail(XKind kind, const wchar_t* message, const wchar_t* type, const com::variant& value)
{
    throw CXTolvane(kind, message, std::wstring(L"CIntSoapFunctionCall::writeField(),") + type, DisplayText(value));
}

bool IsIntegerZero(const com::variant& value)
{
    switch (value.vt()) {
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8:
    case VT_INT: case VT_UINT: {
        com::variant n;
        return SUCCEEDED(value.try_as(VT_I8, n)) && V_I8(n.addr()) == 0;
    }
    default:
        return false;
    }
}

std::wstring TextOf(const com::variant& value)
{
    return value.vt() == VT_BSTR ? std::wstring(com::view(V_BSTR(value.addr()))) : std::wstring();
}

com::variant DateText(const com::variant& value)
{
    const com::variant* v = &value;
    com::variant deref;
    if (value.vt() & VT_BYREF) {
        if (FAILED(VariantCopyInd(deref.addr(), const_cast<VARIANT*>(value.addr()))))
            Fail(DATE_TIME_CONVERSION, L"invalid date/time", L"TYPE_DATE", value);
        v = &deref;
    }
    if (v->vt() == VT_NULL)
        return com::variant(L"");
    const std::wstring text = TextOf(*v);
    if (IsIntegerZero(*v) || (v->vt() == VT_BSTR && (text == L"00000000" || text.empty() || text == L" ")))
        return com::variant(L"00000000");
    if (v->vt() == VT_BSTR && IsAbapDateText(text))
        return com::variant(text);
    com::variant date;
    SYSTEMTIME st{};
    if (FAILED(v->try_as(VT_DATE, date)) || !VariantTimeToSystemTime(V_DATE(date.addr()), &st))
        Fail(DATE_TIME_CONVERSION, L"invalid date/time", L"TYPE_DATE", value);
    wchar_t buffer[16];
    swprintf(buffer, 16, L"%04u%02u%02u", st.wYear, st.wMonth, st.wDay);
    return com::variant(buffer);
}

com::variant TimeText(const com::variant& value)
{
    // A null time would be six NUL characters, which XML cannot carry: it is sent empty.
    if (value.vt() == VT_NULL)
        return com::variant(L"");
    wchar_t time[kAbapTimeLength + 1] = {};
    VariantToAbapTime(time, value.get());
    return com::variant(std::wstring_view(time, kAbapTimeLength));
}

// The element content of a scalar, by its ABAP type.
com::variant ElementValue(const Scalar& s)
{
    com::variant converted;
    switch (s.type) {
    case TYPE_DATE:
        return DateText(s.value);
    case TYPE_TIME:
        return TimeText(s.value);
    case TYPE_FLOAT:
        if (FAILED(s.value.try_as(VT_R8, converted)))
            Fail(NUMERIC_CONVERSION, L"value is not numeric", L"TYPE_FLOAT", s.value);
        return converted;
    case TYPE_INT:
    case TYPE_INT2:
    case TYPE_INT1:
        if (FAILED(s.value.try_as(VT_I8, converted)))
            Fail(NUMERIC_CONVERSION, L"value is not numeric", L"TYPE_INT", s.value);
        return converted;
    case TYPE_BYTE:
    case TYPE_XSTRING:
        if (FAILED(s.value.try_as(VT_ARRAY | VT_UI1, converted)))
            Fail(VARIANTARRAY_EXCEPTION, L"error while processing VARIANT array", L"TYPE_BYTE", s.value);
        return converted;
    case TYPE_BCD:
        // Numbers go into packed fields in the form SAP reads, whatever the user's locale.
        if (s.value.vt() != VT_BSTR && SUCCEEDED(s.value.try_as(VT_BSTR, converted, LOCALE_INVARIANT)))
            return converted;
        [[fallthrough]];
    default:
        if (FAILED(s.value.try_as(VT_BSTR, converted)))
            Fail(STRING_CONVERSION, L"error in string conversion", L"TYPE_CHAR", s.value);
        return converted;
    }
}

void WriteField(ISoapNodes* nodes, IRfcField* field, const ValueTrace& trace, bool masked);

void WriteComponents(ISoapNodes* nodes, IRfcFields* fields, const ValueTrace& trace)
{
    long count = 0;
    com::check(fields->get_Count(&count));
    for (long i = 1; i <= count; ++i) {
        com::ptr<IRfcField> component;
        com::check(fields->get_Item(com::variant(i).get(), component.put()));
        WriteField(nodes, component.get(), trace, false);
        trace.Piece(L",");
    }
}

void WriteField(ISoapNodes* nodes, IRfcField* field, const ValueTrace& trace, bool masked)
{
    com::bstr name;
    com::ptr<IRfcType> type;
    com::check(field->get_name(name.put()));
    com::check(field->get_RfcType(type.put()));
    com::ptr<ISoapNode> node = AddNode(nodes, name.view());
    switch (KindOf(type.get())) {
    case RFCTYPEKIND_SCALAR: {
        const Scalar s = ScalarOf(field, type.get());
        if (s.value.vt() != VT_EMPTY && s.value.vt() != VT_ERROR)
            Check(node->SetValue(ElementValue(s).get()));
        if (trace.On())
            trace.Value(masked ? L"********" : DisplayText(s.value));
        break;
    }
    case RFCTYPEKIND_STRUCT: {
        com::ptr<IRfcFields> fields;
        com::check(field->get_Fields(fields.put()));
        trace.Piece(L"[");
        WriteComponents(ChildNodes(node.get()).get(), fields.get(), trace);
        trace.Piece(L"]");
        break;
    }
    case RFCTYPEKIND_TABLE: {
        com::ptr<IRfcRows> rows;
        com::check(field->get_Rows(rows.put()));
        long count = 0;
        com::check(rows->get_Count(&count));
        com::ptr<ISoapNodes> items = ChildNodes(node.get());
        trace.Piece(L"{");
        for (long i = 1; i <= count; ++i) {
            com::ptr<IRfcFields> row;
            com::check(rows->get_Item(i, row.put()));
            com::ptr<ISoapNode> item = AddNode(items.get(), L"item");
            trace.Piece(L"[");
            WriteComponents(ChildNodes(item.get()).get(), row.get(), trace);
            trace.Piece(L"],");
        }
        trace.Piece(L"}");
        break;
    }
    default: {
        RFCTYPEKIND kind = RFCTYPEKIND_UNDEFINED;
        if (type)
            type->get_Kind(&kind);
        if (trace.On())
            ostrel::TraceContinue(L"Warning: field %s: unknown typekind %i\n", name.str().c_str(), static_cast<int>(kind));
        break;
    }
    }
}

// ---- reading --------------------------------------------------------------------------

// The XML Schema type a scalar of an ABAP type is read as; empty: the element's text.
const wchar_t* SchemaTypeOf(long type)
{
    switch (type) {
    case TYPE_INT: return L"long";
    case TYPE_INT2: return L"short";
    // An INT1 holds 0 to 255, which a signed xsd:byte cannot.
    case TYPE_INT1: return L"unsignedByte";
    case TYPE_FLOAT: return L"double";
    case TYPE_DATE: return L"date";
    case TYPE_BYTE:
    case TYPE_XSTRING: return L"base64Binary";
    default: return L"";
    }
}

bool TwoDigits(std::wstring_view text, size_t at, unsigned limit, WORD& value)
{
    const wchar_t high = text[at], low = text[at + 1];
    if (high < L'0' || high > L'9' || low < L'0' || low > L'9')
        return false;
    value = static_cast<WORD>((high - L'0') * 10 + (low - L'0'));
    return value <= limit;
}

// "hh:mm:ss", the form a server writes a time in, converted without the general text-to-date
// conversion: that one consults the locale for every value, which makes a table of times
// several times slower to read. The date comes from the same calendar arithmetic.
bool QuickTime(const com::variant& text, DATE& date)
{
    if (text.vt() != VT_BSTR)
        return false;
    const std::wstring_view t = com::view(V_BSTR(text.addr()));
    UDATE day{};
    day.st.wYear = 1899; // day 0 of automation dates: a time alone
    day.st.wMonth = 12;
    day.st.wDay = 30;
    return t.size() == 8 && t[2] == L':' && t[5] == L':' && TwoDigits(t, 0, 23, day.st.wHour) &&
           TwoDigits(t, 3, 59, day.st.wMinute) && TwoDigits(t, 6, 59, day.st.wSecond) &&
           SUCCEEDED(VarDateFromUdate(&day, 0, &date));
}

} // namespace

com::variant ReceivedTime(const com::variant& text)
{
    com::variant time;
    DATE quick = 0;
    if (QuickTime(text, quick)) {
        V_VT(time.put()) = VT_DATE;
        V_DATE(time.addr()) = quick;
        return time;
    }
    if (FAILED(text.try_as(VT_DATE, time)))
        throw CXTolvane(DATE_TIME_CONVERSION, L"invalid date/time", L"CIntSoapFunctionCall::readField(),TYPE_TIME",
                        DisplayText(text));
    return time;
}

namespace {

// The value a field of an ABAP type receives, from what the component decoded.
com::variant FieldValue(long type, com::variant decoded)
{
    switch (type) {
    case TYPE_INT: {
        // An INT is 4 bytes: a script cannot use the 8-byte integer an xsd:long decodes to.
        com::variant narrow;
        return SUCCEEDED(decoded.try_as(VT_I4, narrow)) ? narrow : decoded;
    }
    case TYPE_INT1:
        return decoded.vt() == VT_EMPTY ? decoded : decoded.as(VT_I2);
    case TYPE_TIME:
        return ReceivedTime(decoded);
    default:
        return decoded;
    }
}

com::variant ReceivedValue(ISoapNode* node, long type)
{
    static const com::bstr schema(::soapkit::kXmlSchemaNamespace);
    com::variant decoded;
    const wchar_t* schemaType = SchemaTypeOf(type);
    if (*schemaType)
        Check(node->GetTypedValue(schema.get(), com::bstr(schemaType).get(), decoded.put()));
    else
        Check(node->GetValue(decoded.put()));
    return FieldValue(type, std::move(decoded));
}

// A table whose rows hold scalars only, read in one call to the component. False when the
// rows are not of that kind (or not ours): the caller reads them field by field.
bool ReadFlatTable(ISoapNode* node, IRfcRows* rowsInterface, const ValueTrace& trace)
{
    auto rows = com::implementation<CRfcRows>(rowsInterface);
    auto rowType = rows ? com::implementation<CRfcType>(rows->RowType()) : nullptr;
    if (!rowType || rowType->Components().Size() == 0)
        return false;
    const CRfcTypes& components = rowType->Components();
    const size_t columns = components.Size();
    std::vector<long> types;
    com::safearray names = com::safearray::vector(VT_BSTR, columns);
    com::safearray schemaTypes = com::safearray::vector(VT_BSTR, columns);
    {
        com::array_data<BSTR> nameData(names.get()), typeData(schemaTypes.get());
        for (size_t c = 0; c < columns; ++c) {
            auto component = com::implementation<CRfcType>(components.At(c));
            if (!component || component->Kind() != RFCTYPEKIND_SCALAR)
                return false;
            types.push_back(component->ScalarType());
            nameData.data()[c] = component->Name().bstr();
            typeData.data()[c] = com::bstr(SchemaTypeOf(component->ScalarType())).detach();
        }
    }
    com::variant nameArray, typeArray, values;
    V_VT(nameArray.put()) = VT_ARRAY | VT_BSTR;
    V_ARRAY(nameArray.addr()) = names.detach();
    V_VT(typeArray.put()) = VT_ARRAY | VT_BSTR;
    V_ARRAY(typeArray.addr()) = schemaTypes.detach();
    Check(ChildNodes(node)->ReadRows(nameArray.get(), typeArray.get(), values.put()));

    com::array_data<VARIANT> data(V_ARRAY(values.addr()));
    const size_t count = data.size() / columns;
    if (count == 0)
        return true;
    rows->AppendRows(count);
    const size_t firstRow = rows->Size() - count;
    trace.Piece(L"{");
    for (size_t r = 0; r < count; ++r) {
        auto* row = static_cast<CRfcFields*>(rows->At(firstRow + r));
        trace.Piece(L"[");
        for (size_t c = 0; c < columns; ++c) {
            VARIANT& received = data.data()[r * columns + c];
            auto* field = static_cast<CRfcField*>(row->At(c));
            if (V_VT(&received) == VT_ERROR && V_ERROR(&received) == DISP_E_PARAMNOTFOUND) {
                if (trace.On())
                    ostrel::TraceContinue(L"Warning: requested parameter %s not found\n", field->Name().c_str());
            } else {
                com::variant value = FieldValue(types[c], com::variant::attach(received));
                if (trace.On())
                    trace.Value(DisplayText(value));
                field->SetValue(std::move(value));
            }
            trace.Piece(L",");
        }
        trace.Piece(L"],");
    }
    trace.Piece(L"}");
    return true;
}

void ReadField(ISoapNodes* nodes, IRfcField* field, const ValueTrace& trace);

void ReadComponents(ISoapNodes* nodes, IRfcFields* fields, const ValueTrace& trace)
{
    long count = 0;
    com::check(fields->get_Count(&count));
    for (long i = 1; i <= count; ++i) {
        com::ptr<IRfcField> component;
        com::check(fields->get_Item(com::variant(i).get(), component.put()));
        ReadField(nodes, component.get(), trace);
        trace.Piece(L",");
    }
}

void ReadTable(ISoapNode* node, IRfcField* field, const ValueTrace& trace)
{
    com::ptr<IRfcRows> rows;
    com::check(field->get_Rows(rows.put()));
    com::check(rows->RemoveAll());
    if (ReadFlatTable(node, rows.get(), trace))
        return;
    com::ptr<ISoapNodes> items = ChildNodes(node);
    long count = 0;
    Check(items->NodeCount(&count));
    if (count == 0)
        return;
    com::check(rows->AddRows(count));
    trace.Piece(L"{");
    for (long i = 1; i <= count; ++i) {
        com::ptr<ISoapNode> item;
        Check(items->NodeAt(i - 1, item.put()));
        com::ptr<IRfcFields> row;
        com::check(rows->get_Item(i, row.put()));
        trace.Piece(L"[");
        ReadComponents(ChildNodes(item.get()).get(), row.get(), trace);
        trace.Piece(L"],");
    }
    trace.Piece(L"}");
}

void ReadField(ISoapNodes* nodes, IRfcField* field, const ValueTrace& trace)
{
    com::bstr name;
    com::ptr<IRfcType> type;
    com::check(field->get_name(name.put()));
    com::check(field->get_RfcType(type.put()));
    com::ptr<ISoapNode> node = FindNode(nodes, name.view());
    if (!node) {
        if (trace.On())
            ostrel::TraceContinue(L"Warning: requested parameter %s not found\n", name.str().c_str());
        return;
    }
    switch (KindOf(type.get())) {
    case RFCTYPEKIND_SCALAR: {
        ABAPTYPE abapType = TYPE_CHAR;
        com::check(type->get_ScalarType(&abapType));
        com::variant value = ReceivedValue(node.get(), abapType);
        if (trace.On())
            trace.Value(DisplayText(value));
        com::check(field->put_value(value.get()));
        break;
    }
    case RFCTYPEKIND_STRUCT: {
        com::ptr<IRfcFields> fields;
        com::check(field->get_Fields(fields.put()));
        trace.Piece(L"[");
        ReadComponents(ChildNodes(node.get()).get(), fields.get(), trace);
        trace.Piece(L"]");
        break;
    }
    case RFCTYPEKIND_TABLE:
        ReadTable(node.get(), field, trace);
        break;
    default: {
        RFCTYPEKIND kind = RFCTYPEKIND_UNDEFINED;
        if (type)
            type->get_Kind(&kind);
        if (trace.On())
            ostrel::TraceContinue(L"Warning: field '%s': unknown typekind %i\n", name.str().c_str(), static_cast<int>(kind));
        break;
    }
    }
}

template <class Each>
void ForEachParameter(IRfcParameters* list, Each&& each)
{
    long count = 0;
    com::check(list->get_Count(&count));
    for (long i = 1; i <= count; ++i) {
        com::ptr<IRfcParameter> parameter;
        com::check(list->get_Item(com::variant(i).get(), parameter.put()));
        com::ptr<IRfcField> field;
        com::check(parameter->get_InternalField(field.put()));
        com::bstr name;
        com::check(field->get_name(name.put()));
        each(name, field.get());
    }
}

} // namespace

void WriteList(ISoapNodes* body, IRfcParameters* list)
{
    const ValueTrace trace;
    ForEachParameter(list, [&](const com::bstr& name, IRfcField* field) {
        trace.Start(name.str());
        WriteField(body, field, trace, IsPasswordParameter(name.view()));
        trace.Piece(L"\n");
    });
}

void ReadList(ISoapNodes* body, IRfcParameters* list)
{
    const ValueTrace trace;
    ForEachParameter(list, [&](const com::bstr& name, IRfcField* field) {
        trace.Start(name.str());
        ReadField(body, field, trace);
        trace.Piece(L"\n");
    });
}

} // namespace tolvane::soap
