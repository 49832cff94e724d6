#include "NWRfcUtil.h"

#include "NWRFCField.h"
#include "NWRfcErrors.h"
#include "com/Bstr.h"
#include "com/Variant.h"
#include "session/Messages.h"
#include "session/SessionRules.h"
#include "session/Trace.h"

#include <boost/format.hpp>
#include <boost/tokenizer.hpp>

#include <cwctype>

namespace tolvane {
namespace nw {
namespace {

constexpr wchar_t kMask[] = L"********";

std::wstring Lower(std::wstring_view text)
{
    std::wstring lower(text);
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(c));
    return lower;
}

// A token of an escaped connect string: up to the next space outside double quotes.
size_t TokenEnd(std::wstring_view text, size_t from) noexcept
{
    bool quoted = false;
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] == L'\\' && i + 1 < text.size())
            ++i;
        else if (text[i] == L'"')
            quoted = !quoted;
        else if (text[i] == L' ' && !quoted)
            return i;
    }
    return text.size();
}

} // namespace

long AbapTypeOf(nwrfc::RFCTYPE type) noexcept
{
    const int code = type;
    return (code >= 0 && code <= 10) || code == 17 || code == 29 || code == 30 ? code : -1;
}

nwrfc::RFCTYPE RfcTypeOf(long abapType) noexcept
{
    return (abapType >= 0 && abapType <= 10) || abapType == 17 || abapType == 29 || abapType == 30
               ? static_cast<nwrfc::RFCTYPE>(abapType)
               : nwrfc::RFCTYPE_NULL;
}

std::wstring EscapeConnectString(std::wstring_view text)
{
    std::wstring escaped;
    escaped.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\') {
            escaped += text[i];
        } else if (i + 1 < text.size() && (text[i + 1] == L'\\' || text[i + 1] == L'"')) {
            escaped += text[i];
            escaped += text[++i];
        } else {
            escaped += L"\\\\";
        }
    }
    return escaped;
}

std::vector<ConnectionPair> ParseConnectString(const std::wstring& escaped)
{
    using Separator = boost::escaped_list_separator<wchar_t>;
    std::vector<ConnectionPair> pairs;
    try {
        boost::tokenizer<Separator, std::wstring::const_iterator, std::wstring> tokens(escaped,
                                                                                       Separator(L'\\', L' ', L'"'));
        for (const std::wstring& token : tokens) {
            const size_t equals = token.find(L'=');
            if (equals == std::wstring::npos || equals == 0) {
                TRACE_LOG(ostrel::TRACE_ERROR,
                          (boost::wformat(L"connectstr=%1%") % MaskedConnectString(escaped)).str());
                throw MessageError(msg::InvalidConnectString);
            }
            pairs.push_back({Lower(std::wstring_view(token).substr(0, equals)), token.substr(equals + 1)});
        }
    } catch (const boost::escaped_list_error& e) {
        const std::string what = e.what();
        TRACE_LOG(ostrel::TRACE_ERROR, (boost::wformat(L"error while parsing connectstring: %1%") %
                                        std::wstring(what.begin(), what.end()))
                                           .str());
        throw com::hresult_error(E_INVALIDARG);
    }
    return pairs;
}

std::wstring MaskedConnectString(std::wstring_view escaped)
{
    std::wstring masked;
    for (size_t start = 0; start <= escaped.size();) {
        const size_t end = TokenEnd(escaped, start);
        const std::wstring_view token = escaped.substr(start, end - start);
        const size_t equals = token.find(L'=');
        if (equals != std::wstring_view::npos && IsSecretName(token.substr(0, equals)))
            masked.append(token.substr(0, equals + 1)).append(kMask);
        else
            masked.append(token);
        if (end == escaped.size())
            break;
        masked += L' ';
        start = end + 1;
    }
    return masked;
}

std::wstring MaskedPairs(const std::vector<ConnectionPair>& pairs)
{
    std::wstring text;
    for (const ConnectionPair& pair : pairs)
        text.append(pair.name).append(L"=").append(IsSecretName(pair.name) ? kMask : pair.value).append(L",");
    return text;
}

} // namespace nw

nwrfc::RFC_FUNCTION_DESC_HANDLE NWRFCCreateFunctionDesc(const nwrfc::EntryPoints& rfc, IFunctionCall* call,
                                                        nwrfc::RFC_ERROR_INFO& errorInfo)
{
    com::bstr name;
    com::check(call->get_Function(name.put()));
    nwrfc::RFC_FUNCTION_DESC_HANDLE function = rfc.RfcCreateFunctionDesc(name.str().c_str(), &errorInfo);
    if (!function) {
        nw::TraceRecordDetail(errorInfo);
        throw MessageError(msg::RfcError);
    }
    TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"creating function desc for %1%") % name.str()).str());
    const struct {
        HRESULT (STDMETHODCALLTYPE IFunctionCall::*list)(IRfcParameters**);
        nwrfc::RFC_DIRECTION direction;
    } lists[] = {{&IFunctionCall::get_Importing, nwrfc::RFC_IMPORT},
                 {&IFunctionCall::get_Exporting, nwrfc::RFC_EXPORT},
                 {&IFunctionCall::get_Changing, nwrfc::RFC_CHANGING},
                 {&IFunctionCall::get_Tables, nwrfc::RFC_TABLES}};
    for (const auto& [list, direction] : lists) {
        com::ptr<IRfcParameters> parameters;
        com::check((call->*list)(parameters.put()));
        NWRFCAddParameters(rfc, parameters.get(), direction, function, errorInfo);
    }
    return function;
}

void NWRFCAddParameters(const nwrfc::EntryPoints& rfc, IRfcParameters* parameters, nwrfc::RFC_DIRECTION direction,
                        nwrfc::RFC_FUNCTION_DESC_HANDLE function, nwrfc::RFC_ERROR_INFO& errorInfo)
{
    long count = 0;
    com::check(parameters->get_Count(&count));
    for (long i = 1; i <= count; ++i) {
        com::ptr<IRfcParameter> parameter;
        com::check(parameters->get_Item(com::variant(i).get(), parameter.put()));
        CNWRFCField field(rfc, errorInfo);
        field.Define(parameter.get());
        nwrfc::RFC_PARAMETER_DESC description{};
        field.fillParameterDesc(direction, description);
        if (rfc.RfcAddParameter(function, &description, &errorInfo) != nwrfc::RFC_OK) {
            nw::TraceRecordDetail(errorInfo);
            throw MessageError(msg::RfcError);
        }
    }
}

} // namespace tolvane
