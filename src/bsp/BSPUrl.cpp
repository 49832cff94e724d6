#include "BSPUrl.h"

#include <windows.h>
#include <wincrypt.h>

#include <optional>

namespace tolvane {
namespace {

void AppendQueryPair(std::wstring& url, std::wstring_view name, std::wstring_view value)
{
    url += url.find(L'?') == std::wstring::npos ? L'?' : L'&';
    url.append(name).append(L"=").append(value);
}

std::vector<NameValue> SplitPairs(std::wstring_view query)
{
    std::vector<NameValue> pairs;
    while (!query.empty()) {
        const size_t amp = query.find(L'&');
        const std::wstring_view pair = query.substr(0, amp);
        query = amp == std::wstring_view::npos ? std::wstring_view() : query.substr(amp + 1);
        if (pair.empty())
            continue;
        const size_t eq = pair.find(L'=');
        if (eq == std::wstring_view::npos)
            pairs.push_back({std::wstring(pair), {}});
        else
            pairs.push_back({std::wstring(pair.substr(0, eq)), std::wstring(pair.substr(eq + 1))});
    }
    return pairs;
}

std::wstring FromUtf8(const std::string& bytes)
{
    if (bytes.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

// Standard base64 (with "+" and "/"); nothing when the text is not base64.
std::optional<std::wstring> DecodeBase64(const std::wstring& text)
{
    if (text.empty())
        return std::wstring();
    DWORD size = 0;
    const DWORD length = static_cast<DWORD>(text.size());
    if (!CryptStringToBinaryW(text.c_str(), length, CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr))
        return std::nullopt;
    std::string bytes(size, '\0');
    if (!CryptStringToBinaryW(text.c_str(), length, CRYPT_STRING_BASE64, reinterpret_cast<BYTE*>(bytes.data()),
                              &size, nullptr, nullptr))
        return std::nullopt;
    bytes.resize(size);
    return FromUtf8(bytes);
}

} // namespace

std::wstring ApplicationUrl(std::wstring_view application, const ApplicationServer& server,
                            const std::vector<NameValue>& parameters)
{
    std::wstring url;
    if (application.find(L"://") != std::wstring_view::npos) {
        url = application;
    } else {
        std::wstring scheme = server.protocol;
        if (scheme.find(L"://") == std::wstring::npos)
            scheme += L"://";
        std::wstring path(application);
        if (path.empty() || path.front() != L'/')
            path.insert(path.begin(), L'/');
        // scheme, host, ":", port, path: put together directly, as formatting would cut a long URL.
        url = scheme + server.host + L':' + std::to_wstring(server.port) + path;
    }
    if (url.find(L"sap-client") == std::wstring::npos && !server.client.empty())
        AppendQueryPair(url, L"sap-client", server.client);
    if (url.find(L"sap-language") == std::wstring::npos && !server.language.empty())
        AppendQueryPair(url, L"sap-language", server.language);
    for (const NameValue& parameter : parameters)
        AppendQueryPair(url, parameter.name, parameter.value);
    return url;
}

std::vector<NameValue> ReturnedParameters(std::wstring_view url)
{
    const size_t question = url.rfind(L'?');
    if (question == std::wstring_view::npos)
        return {};
    std::vector<NameValue> result;
    for (NameValue& pair : SplitPairs(url.substr(question + 1))) {
        std::optional<std::wstring> decoded;
        if (pair.name == L"sap-params")
            decoded = DecodeBase64(pair.value);
        if (!decoded) {
            // An undecodable sap-params is handed back as it came rather than lost.
            result.push_back(std::move(pair));
            continue;
        }
        for (NameValue& inner : SplitPairs(*decoded))
            result.push_back(std::move(inner));
    }
    return result;
}

} // namespace tolvane
