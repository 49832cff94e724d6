// The SOAP session's metadata import: function interfaces through RFC_GET_FUNCTION_INTERFACE,
// structures through RFC_GET_UNICODE_STRUCTURE, table types through RFC_GET_NAMETAB.
#include "SoapComponent.h"
#include "SoapSession.h"
#include "com/SafeMath.h"
#include "convert/FixedNumber.h"
#include "model/DictionaryType.h"
#include "model/RfcField.h"

#include <climits>

namespace tolvane {
namespace {

// A failed metadata request, with the exception its fault named.
struct MetadataError {
    com::hresult_error error;
    soap::FaultInfo fault;
};

std::wstring Text(const com::variant& value)
{
    com::variant text;
    if (value.vt() == VT_EMPTY || FAILED(value.try_as(VT_BSTR, text)))
        return {};
    return std::wstring(com::view(V_BSTR(text.addr())));
}

long Number(const std::wstring& text)
{
    return static_cast<long>(std::clamp<long long>(ParseFixedInt(text.data(), text.size(), true), LONG_MIN, LONG_MAX));
}

std::wstring NodeText(ISoapNodes* nodes, const wchar_t* name)
{
    com::ptr<ISoapNode> node = soap::FindNode(nodes, name);
    if (!node)
        return {};
    com::variant value;
    soap::Check(node->GetValue(value.put()));
    return Text(value);
}

// A field of a received table row, as text.
std::wstring RowText(IRfcFields* row, const wchar_t* name)
{
    com::ptr<IRfcField> field;
    if (FAILED(row->get_Item(com::variant(name).get(), field.put())))
        return {};
    com::variant value;
    com::check(field->get_value(value.put()));
    return Text(value);
}

wchar_t FirstLetter(const std::wstring& text) { return text.empty() ? L' ' : text.front(); }

} // namespace

HRESULT CSoapSession::ImportCallFromBackend(BSTR name, VARIANT_BOOL, IFunctionCall* call)
{
    return guard([&]() -> HRESULT {
        if (!IsConnectedNow())
            throw MessageError(msg::NotConnected);
        auto request = com::make<CFunctionCall>();
        request->SetFunction(L"RFC_GET_FUNCTION_INTERFACE");
        com::check(request->Parameters(CFunctionCall::Importing)
                       .AddScalar(com::bstr(L"FUNCNAME").get(), TYPE_CHAR, 30, 0, com::variant(com::view(name)).get()));
        com::ptr<IRfcType> paramsRow;
        if (HRESULT hr = ImportType(com::bstr(L"RFC_FUNINT").get(), paramsRow.put()); FAILED(hr))
            return hr;
        com::check(request->Parameters(CFunctionCall::Tables).AddTable(com::bstr(L"PARAMS").get(), paramsRow.get()));
        // A failure shows in the error state; the import goes on with whatever rows came back,
        // and its prototype is handed out but not cached (S_FALSE).
        com::check(CallFunction(request.get(), VARIANT_TRUE));
        VARIANT_BOOL failed = VARIANT_FALSE;
        com::check(get_Error(&failed));

        com::ptr<IRfcParameter> params;
        com::check(request->Parameters(CFunctionCall::Tables).get_Item(com::variant(L"PARAMS").get(), params.put()));
        com::ptr<IRfcRows> rows;
        com::check(params->get_Rows(rows.put()));
        long count = 0;
        com::check(rows->get_Count(&count));
        auto target = com::implementation<CFunctionCall>(call);
        for (long i = 1; i <= count; ++i) {
            com::ptr<IRfcFields> row;
            com::check(rows->get_Item(i, row.put()));
            const wchar_t paramClass = FirstLetter(RowText(row.get(), L"PARAMCLASS"));
            const std::wstring parameter = RowText(row.get(), L"PARAMETER");
            const std::wstring tabname = RowText(row.get(), L"TABNAME");
            const std::wstring defaultValue = RowText(row.get(), L"DEFAULT");
            const std::wstring text = RowText(row.get(), L"PARAMTEXT");
            const bool optional = RowText(row.get(), L"OPTIONAL") == L"X";
            const long length = Number(RowText(row.get(), L"INTLENGTH"));
            const long decimals = Number(RowText(row.get(), L"DECIMALS"));
            const wchar_t exid = FirstLetter(RowText(row.get(), L"EXID"));
            ostrel::TraceFormat(L"Adding Parameter: %s (%c:%s:%i:%i:%i:%s:%s) ", parameter.c_str(), exid,
                                tabname.c_str(), static_cast<int>(length), static_cast<int>(decimals),
                                optional ? -1 : 0, defaultValue.c_str(), text.c_str());

            int list = -1;
            switch (paramClass) {
            case L'I': list = CFunctionCall::Importing; break;
            case L'E': list = CFunctionCall::Exporting; break;
            case L'C': list = CFunctionCall::Changing; break;
            case L'T': list = CFunctionCall::Tables; break;
            default: break;
            }
            if (list < 0) {
                ostrel::TraceContinue(L"\n");
                continue;
            }

            com::ptr<IRfcType> type;
            switch (ParameterKindOfLetter(exid)) {
            case ParameterKind::Scalar: {
                const long abapType = AbapTypeOfLetter(exid);
                if (abapType < 0) {
                    // A type this component cannot carry: leaving the parameter out lets SAP
                    // apply its own handling instead of receiving a value of the wrong kind.
                    ostrel::TraceContinue(L"type=unknown (not supported)\n");
                    continue;
                }
                auto scalar = com::make<CRfcType>();
                const bool packed = abapType == TYPE_BCD;
                com::check(scalar->DefineScalar(com::bstr(tabname).get(), static_cast<ABAPTYPE>(abapType),
                                                ScalarLengthOfEntry(exid, length),
                                                static_cast<short>(packed ? decimals : 0), 0));
                type = std::move(scalar);
                ostrel::TraceContinue(L"type=scalar\n");
                break;
            }
            case ParameterKind::Structure: {
                com::ptr<IRfcType> structure;
                if (HRESULT hr = ImportType(com::bstr(tabname).get(), structure.put()); FAILED(hr))
                    return hr;
                if (paramClass == L'T') {
                    auto table = com::make<CRfcType>();
                    com::check(table->DefineTable(com::bstr(L"").get(), structure.get()));
                    type = std::move(table);
                    ostrel::TraceContinue(L"type=table\n");
                } else {
                    type = std::move(structure);
                    ostrel::TraceContinue(L"type=struct\n");
                }
                break;
            }
            case ParameterKind::TableType: {
                HRESULT hr = S_OK;
                type = ImportTableTypeOrFail(tabname, hr);
                if (FAILED(hr))
                    return hr;
                break;
            }
            case ParameterKind::DeepStructure:
                ostrel::TraceContinue(L"type=complex parameter (not supported)\n");
                continue;
            }
            CRfcParameter& added = target->Parameters(list).Add(parameter, type.get());
            added.SetMetadata(optional ? VARIANT_TRUE : VARIANT_FALSE, com::bstr(text), com::bstr(defaultValue));
        }
        return failed ? S_FALSE : S_OK;
    });
}

HRESULT CSoapSession::ImportTypeFromBackend(BSTR name, IRfcType* type)
{
    return guard([&]() -> HRESULT {
        if (!IsConnectedNow())
            throw MessageError(msg::NotConnected);
        const std::wstring typeName(com::view(name));
        try {
            ImportStructure(typeName, type);
            return S_OK;
        } catch (const MetadataError& e) {
            ostrel::TraceFormat(L"CSoapSession->ImportType(): failed on type %s (%s: %s)\n", typeName.c_str(),
                                e.fault.name.c_str(), e.fault.message.c_str());
            if (e.fault.name == L"UNSUPPORTED_TYPE")
                throw MessageError(msg::ComplexTypesUnsupported);
            if (e.fault.name == L"TABLE_NOT_ACTIVE")
                throw MessageError(msg::TypeDoesNotExist);
            throw MessageError(msg::TypeImportImpossible);
        }
    });
}

// Sends a hand-built metadata request and reads the answer, on the caller's thread. A failure
// is traced with the text received and thrown with the exception its fault named.
com::ptr<ISoapEnvelope> CSoapSession::Exchange(const wchar_t* module, const std::wstring& typeName,
                                               com::ptr<ISoapEnvelope> envelope)
{
    com::variant body;
    try {
        com::bstr request;
        soap::Check(envelope->WriteRequest(request.put()));
        if (TracingDocuments())
            ostrel::TraceBlock(request.view());
        soap::Check(m_transport->PostRequest(com::bstr(m_url).get(), request.get()));
        com::bstr charset(L"utf-8");
        soap::Check(m_transport->FetchResponse(charset.in_out(), body.put()));
        soap::Check(envelope->ReadResponse(body.get(), charset.get()));
        return envelope;
    } catch (const com::hresult_error& e) {
        ostrel::TraceFormat(L"Error retrieving structure %s\n", typeName.c_str());
        com::variant text;
        if (SUCCEEDED(body.try_as(VT_BSTR, text)))
            ostrel::TraceBlock(com::view(V_BSTR(text.addr())));
        throw MetadataError{e, soap::ReadFault(envelope.get(), module)};
    }
}

void CSoapSession::ImportStructure(const std::wstring& name, IRfcType* type)
{
    ostrel::TraceFormat(L"CIntSoapFunctionCall: importing structure %s\n", name.c_str());
    com::ptr<ISoapEnvelope> envelope;
    try {
        envelope = soap::BeginRequest(L"RFC_GET_UNICODE_STRUCTURE");
        com::ptr<ISoapNodes> body = soap::BodyNodes(envelope.get());
        soap::AddNode(body.get(), L"TABNAME", com::variant(name));
        soap::AddNode(body.get(), L"ALLOW_HALF_DEEP", com::variant(L"X"));
        soap::AddNode(body.get(), L"SKIP_UTF16_INFO", com::variant(L"X"));
        soap::AddNode(body.get(), L"SKIP_UCS_4_INFO", com::variant(L"X"));
        soap::AddNode(body.get(), L"FIELDS");
    } catch (const com::hresult_error& e) {
        throw MetadataError{e, {L"UNKNOWN", e.description()}};
    }
    Exchange(L"RFC_GET_UNICODE_STRUCTURE", name, envelope);
    try {
        com::ptr<ISoapNodes> body = soap::BodyNodes(envelope.get());
        const long length = Number(NodeText(body.get(), L"B1_TABLENGTH"));
        com::check(type->DefineStruct(com::bstr(name).get()));
        com::check(type->put_structLengthC1(length));
        com::check(type->put_StructLength(com::checked_mul(2L, length)));
        com::ptr<ISoapNode> fields = soap::FindNode(body.get(), L"FIELDS");
        if (!fields)
            return;
        com::ptr<ISoapNodes> items = soap::ChildNodes(fields.get());
        long count = 0;
        soap::Check(items->NodeCount(&count));
        for (long i = 0; i < count; ++i) {
            com::ptr<ISoapNode> item;
            soap::Check(items->NodeAt(i, item.put()));
            com::ptr<ISoapNodes> values = soap::ChildNodes(item.get());
            const std::wstring field = NodeText(values.get(), L"FIELDNAME");
            const wchar_t exid = FirstLetter(NodeText(values.get(), L"EXID"));
            const short decimals = static_cast<short>(Number(NodeText(values.get(), L"DECIMALS")));
            const short fieldLength = static_cast<short>(Number(NodeText(values.get(), L"LENGTH_B1")));
            const short offset = static_cast<short>(Number(NodeText(values.get(), L"OFFSET_B1")));
            ostrel::TraceFormat(L"\tfield %s (t=%c l=%i d=%i)\n", field.c_str(), exid, static_cast<int>(fieldLength),
                                static_cast<int>(decimals));
            const long abapType = AbapTypeOfLetter(exid);
            if (abapType < 0) {
                ostrel::TraceFormat(L"warning: unknown EXID '%c' found in struct field %s-%s\n", exid, name.c_str(),
                                    field.c_str());
                continue;
            }
            const short fieldDecimals = (exid == L'P' || exid == L'N') ? decimals : 0;
            com::check(type->AddScalarStructField(com::bstr(field).get(), static_cast<ABAPTYPE>(abapType), fieldLength,
                                                  fieldDecimals, offset, -1, -1, -1));
        }
    } catch (const com::hresult_error& e) {
        throw MetadataError{e, {L"UNKNOWN", e.description()}};
    }
}

com::ptr<IRfcType> CSoapSession::ImportTableTypeOrFail(const std::wstring& name, HRESULT& result)
{
    try {
        return ImportTableType(name);
    } catch (const MetadataError& e) {
        ostrel::TraceFormat(L"CSoapSession->ImportTableType(): failed on type %s (%s: %s)\n", name.c_str(),
                            e.fault.name.c_str(), e.fault.message.c_str());
        result = RaiseMessage(e.fault.name == L"UNSUPPORTED_TYPE" ? msg::ComplexTypesUnsupported
                                                                   : msg::TypeImportImpossible,
                              error_source());
        return nullptr;
    }
}

com::ptr<IRfcType> CSoapSession::ImportTableType(const std::wstring& name)
{
    ostrel::TraceFormat(L"CIntSoapFunctionCall: importing structure for table type %s\n", name.c_str());
    com::ptr<ISoapEnvelope> envelope;
    try {
        envelope = soap::BeginRequest(L"RFC_GET_NAMETAB");
        soap::AddNode(soap::BodyNodes(envelope.get()).get(), L"TABNAME", com::variant(name));
    } catch (const com::hresult_error& e) {
        throw MetadataError{e, {L"UNKNOWN", e.description()}};
    }
    Exchange(L"RFC_GET_NAMETAB", name, envelope);
    std::wstring rowName;
    try {
        com::ptr<ISoapNode> header = soap::FindNode(soap::BodyNodes(envelope.get()).get(), L"HEADER");
        if (header)
            rowName = NodeText(soap::ChildNodes(header.get()).get(), L"REFNAME");
    } catch (const com::hresult_error& e) {
        throw MetadataError{e, {L"UNKNOWN", e.description()}};
    }
    if (rowName.empty())
        throw MetadataError{com::hresult_error(E_FAIL), {L"", L"no row structure"}};
    auto rowType = com::make<CRfcType>();
    ImportStructure(rowName, rowType.get());
    auto table = com::make<CRfcType>();
    com::check(table->DefineTable(com::bstr(L"").get(), rowType.get()));
    return table;
}

} // namespace tolvane
