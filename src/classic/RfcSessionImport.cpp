// The classic session's metadata: function interfaces and dictionary structures as the library
// describes them.
#include "ClassicErrors.h"
#include "IntRfcStrings.h"
#include "RfcSession.h"
#include "model/DictionaryType.h"
#include "model/FunctionCall.h"
#include "model/RfcType.h"

#include <cstring>

namespace tolvane {
namespace {

using namespace classic;

// A text field of an interface row: from its offset up to a zero character, at most `width`.
std::wstring RowText(const uint8_t* row, unsigned offset, size_t width)
{
    std::wstring text(width, L'\0');
    std::memcpy(text.data(), row + offset, width * sizeof(wchar_t));
    text.resize(wcsnlen(text.data(), width));
    return text;
}

long RowNumber(const uint8_t* row, unsigned offset)
{
    int32_t number = 0;
    std::memcpy(&number, row + offset, sizeof number);
    return number;
}

int ListOfClass(wchar_t paramClass) noexcept
{
    switch (paramClass) {
    case L'I': return CFunctionCall::Importing;
    case L'E': return CFunctionCall::Exporting;
    case L'C': return CFunctionCall::Changing;
    case L'T': return CFunctionCall::Tables;
    default: return -1;
    }
}

bool OptionalFlag(wchar_t flag) noexcept { return flag == 1 || flag == L'1' || flag == L'X' || flag == L'x'; }

// The internal table the library fills, freed on every way out.
class InterfaceTable {
public:
    explicit InterfaceTable(const EntryPoints& rfc) : m_rfc(rfc)
    {
        wchar_t name[] = L"funcinfo";
        m_handle = rfc.ItCreateU(name, funint::kRowLength, 1, 0);
        if (!m_handle)
            throw MessageError(msg::MemoryAllocation);
    }
    ~InterfaceTable() { m_rfc.ItDeleteU(m_handle); }
    InterfaceTable(const InterfaceTable&) = delete;
    InterfaceTable& operator=(const InterfaceTable&) = delete;
    ITAB_H& Handle() noexcept { return m_handle; }

private:
    const EntryPoints& m_rfc;
    ITAB_H m_handle;
};

// A structure description of the library, handed back to it on every way out.
struct StructureInfo {
    const EntryPoints& rfc;
    unsigned fieldCount = 0;
    RFC_UNICODE_TYPE_ELEMENT* fields = nullptr;
    RFCTYPE typeKind = RFCTYPE_STRUCTURE;
    unsigned lengthC1 = 0, lengthC2 = 0, lengthC4 = 0;
    RFC_STRUCT_TYPE_ID id{};
    RFC_TYPEHANDLE handle = 0;
    rfc_char_t* exception = nullptr;

    ~StructureInfo()
    {
        if (fields)
            rfc.RfcReleaseStructInfoU(nullptr, fields);
    }
};

std::wstring ExceptionName(const rfc_char_t* exception)
{
    return exception ? classicrfc::FieldText(exception, 512) : std::wstring();
}

} // namespace

HRESULT CRfcSession::ImportCallFromBackend(BSTR name, VARIANT_BOOL ignoreUnsupported, IFunctionCall* call)
{
    return guard([&]() -> HRESULT {
        if (!m_connection)
            throw MessageError(msg::NotConnected);
        InterfaceTable table(*m_rfc);
        ostrel::TraceFormat(L"Calling RfcGetFunctionInfoAsTable...");
        std::wstring function(com::view(name));
        rfc_char_t* exception = nullptr;
        const RFC_RC rc = m_rfc->RfcGetFunctionInfoAsTableU(m_connection, function.data(), &table.Handle(), &exception);
        if (rc != RFC_OK) {
            const std::wstring raised = ExceptionName(exception);
            ostrel::TraceContinue(L"\nEXCEPTION %u (%s)\n", static_cast<unsigned>(rc), raised.c_str());
            if (raised == L"FU_NOT_FOUND")
                throw MessageError(msg::FunctionNotFound);
            SetErrorState(RFCERROR_PROGRAM, L"RFCERROR_PROGRAM",
                          raised.empty() ? classicrfc::FieldText(classicrfc::LastError(*m_rfc).message) : raised);
            com::check(ErrorRecord().put_ModuleName(com::bstr(function).get()));
            // The prototype stays without parameters; the next import asks the backend again.
            return S_FALSE;
        }
        ostrel::TraceContinue(L"RFC_OK\n");
        ostrel::TraceFormat(L"filling function information...");
        const unsigned rows = m_rfc->ItFillU(table.Handle());
        ostrel::TraceContinue(L"ok (rows=%i)\n", static_cast<int>(rows));
        HRESULT hr = S_OK;
        for (unsigned i = 1; i <= rows && SUCCEEDED(hr); ++i) {
            ostrel::TraceFormat(L"PARAM: ");
            uint8_t row[funint::kRowLength] = {};
            if (m_rfc->ItCpyLineU(table.Handle(), i, row) != 0) {
                ostrel::TraceContinue(L"\n");
                ostrel::TraceFormat(L"Error in ltCopyRow!\n");
                std::memset(row, 0, sizeof row);
            }
            hr = AddInterfaceRow(row, ignoreUnsupported, call);
        }
        ostrel::TraceFormat(L"ImportCallFromBackend: hr=0x%x\n", static_cast<unsigned>(hr));
        return hr;
    });
}

HRESULT CRfcSession::AddInterfaceRow(const uint8_t* row, VARIANT_BOOL ignoreUnsupported, IFunctionCall* call)
{
    const wchar_t paramClass = RowText(row, funint::kParamClass, 1).c_str()[0];
    ostrel::TraceContinue(L"type=%c ", paramClass ? paramClass : L' ');
    const int list = ListOfClass(paramClass);
    if (list < 0) {
        ostrel::TraceContinue(L"\n");
        return S_OK;
    }
    const std::wstring parameter = RowText(row, funint::kParameter, 30);
    const std::wstring typeName = RowText(row, funint::kTabname, 30);
    const std::wstring description = RowText(row, funint::kParamtext, 79);
    const bool optional = OptionalFlag(RowText(row, funint::kOptional, 1).c_str()[0]);
    const std::wstring defaultValue = RowText(row, funint::kDefault, 21);
    const wchar_t exid = RowText(row, funint::kExid, 1).c_str()[0];
    ostrel::TraceContinue(L"pname=%s tabname=%s description=%s optional=%s default=%s typekind=", parameter.c_str(),
                          typeName.c_str(), description.c_str(), optional ? L"true" : L"false", defaultValue.c_str());

    com::ptr<IRfcType> type;
    switch (ParameterKindOfLetter(exid)) {
    case ParameterKind::Scalar: {
        ostrel::TraceContinue(L"scalar\n");
        const long abapType = AbapTypeOfLetter(exid);
        const long length = RowNumber(row, funint::kLengthB1);
        auto scalar = com::make<CRfcType>();
        com::check(scalar->DefineScalar(com::bstr(typeName).get(), static_cast<ABAPTYPE>(abapType),
                                        ScalarLengthOfEntry(exid, length),
                                        static_cast<short>(RowNumber(row, funint::kDecimals)), -1));
        type = std::move(scalar);
        break;
    }
    case ParameterKind::Structure: {
        ostrel::TraceContinue(L"struct\n");
        com::ptr<IRfcType> structure;
        if (HRESULT hr = ImportType(com::bstr(typeName).get(), structure.put()); FAILED(hr))
            return hr;
        if (paramClass == L'T') {
            auto table = com::make<CRfcType>();
            com::check(table->DefineTable(com::bstr(L"").get(), structure.get()));
            type = std::move(table);
        } else {
            type = std::move(structure);
        }
        break;
    }
    case ParameterKind::TableType:
        if (paramClass == L'T') {
            ostrel::TraceContinue(L"table\n");
            if (HRESULT hr = ImportType(com::bstr(typeName).get(), type.put()); FAILED(hr))
                return hr;
            break;
        }
        [[fallthrough]];
    case ParameterKind::DeepStructure:
        if (ignoreUnsupported != VARIANT_TRUE) {
            ostrel::TraceContinue(L"unsupported complex parameter %s (but not configured to ignore)\n", parameter.c_str());
            throw MessageError(msg::ComplexTypesUnsupported);
        }
        ostrel::TraceContinue(L"ignoring unsupported complex parameter: %s\n", parameter.c_str());
        return S_OK;
    }
    auto target = com::implementation<CFunctionCall>(call);
    const HRESULT hr = target->Parameters(list).AddParameter(com::bstr(parameter).get(), type.get());
    ostrel::TraceFormat(L"AddParameter: hr=0x%x\n", static_cast<unsigned>(hr));
    if (FAILED(hr))
        return hr;
    CRfcParameter* added = target->Parameters(list).FindParameter(parameter);
    if (added)
        added->SetMetadata(optional ? VARIANT_TRUE : VARIANT_FALSE, com::bstr(description), com::bstr(defaultValue));
    return S_OK;
}

HRESULT CRfcSession::ImportTypeFromBackend(BSTR name, IRfcType* type)
{
    return guard([&]() -> HRESULT {
        if (!m_connection)
            throw MessageError(msg::NotConnected);
        std::wstring typeName(com::view(name));
        ostrel::TraceFormat(L"ImportType('%s')...", typeName.c_str());
        StructureInfo info{*m_rfc};
        const RFC_RC rc = m_rfc->RfcGetStructureInfoFlatU(m_connection, typeName.data(), 0, nullptr, nullptr,
                                                          &info.fieldCount, &info.fields, &info.typeKind, &info.lengthC1,
                                                          &info.lengthC2, &info.lengthC4, info.id, &info.handle,
                                                          &info.exception);
        switch (rc) {
        case RFC_OK:
            ostrel::TraceContinue(L"RFC_OK\n");
            break;
        case RFC_FAILURE:
        case RFC_EXCEPTION:
        case RFC_INVALID_PARAMETER: {
            const std::wstring raised = ExceptionName(info.exception);
            ostrel::TraceContinue(L"rc=%i\n", static_cast<int>(rc));
            ostrel::TraceFormat(L"Session->ImportType('%s') caused exception %i (%s)\n", typeName.c_str(),
                                static_cast<int>(rc), raised.c_str());
            throw MessageError(raised == L"TABLE_NOT_ACTIVE" ? msg::TypeDoesNotExist : msg::UnexpectedError);
        }
        case RFC_CALL_NOT_SUPPORTED:
            ostrel::TraceContinue(L"RFC_CALL_NOT_SUPPORTED\n");
            throw MessageError(msg::ComplexTypesUnsupported);
        default:
            break;
        }
        if (info.fieldCount == 0 || !info.fields) {
            ostrel::TraceFormat(L"import failed (CntFields==0)\n");
            throw MessageError(msg::TypeImportImpossible);
        }
        com::ptr<IRfcType> structure = info.typeKind == RFCTYPE_ITAB ? com::ptr<IRfcType>(com::make<CRfcType>())
                                                                       : com::share(type);
        // Declared after the definition: the fields need a defined structure.
        com::check(structure->DefineStruct(com::bstr(typeName).get()));
        com::check(structure->put_structLengthC1(static_cast<long>(info.lengthC1)));
        com::check(structure->put_StructLength(static_cast<long>(info.lengthC2)));
        ostrel::TraceFormat(L"importing struct: |");
        for (unsigned i = 0; i < info.fieldCount; ++i) {
            const RFC_UNICODE_TYPE_ELEMENT& e = info.fields[i];
            const bool known = RfcTypeCode(static_cast<long>(e.type)) == e.type;
            const long abapType = known ? static_cast<long>(e.type) : -1;
            const unsigned traced = abapType == TYPE_BCD ? 4 * e.c2_length - 2 : e.c2_length;
            const std::wstring fieldName = e.name ? std::wstring(e.name) : std::wstring();
            ostrel::TraceContinue(L"%s(t=%u l=%u d=%u ofs=%u)|", fieldName.c_str(), static_cast<unsigned>(abapType),
                                  traced, e.decimals, e.c2_offset);
            const bool halved = abapType == TYPE_CHAR || abapType == TYPE_DATE || abapType == TYPE_BCD ||
                                abapType == TYPE_TIME || abapType == TYPE_NUM;
            com::check(structure->AddScalarStructField(com::bstr(fieldName).get(), static_cast<ABAPTYPE>(abapType),
                                                      static_cast<short>(halved ? traced / 2 : traced),
                                                      static_cast<short>(e.decimals), static_cast<long>(e.c2_offset),
                                                      static_cast<long>(e.c1_offset), static_cast<long>(e.c2_length),
                                                      static_cast<long>(e.c1_length)));
        }
        if (info.typeKind == RFCTYPE_ITAB)
            com::check(type->DefineTable(com::bstr(typeName).get(), structure.get()));
        ostrel::TraceContinue(L"\n");
        return S_OK;
    });
}

} // namespace tolvane
