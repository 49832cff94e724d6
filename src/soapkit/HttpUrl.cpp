#include "HttpUrl.h"

#include "SoapError.h"
#include "SoapKit.h"

namespace soapkit {
namespace {

[[noreturn]] void unusable(std::wstring_view url, std::wstring_view why)
{
    fail(result::BadUrl, L"the URL '" + std::wstring(url) + L"' cannot be used: " + std::wstring(why));
}

} // namespace

HttpUrl parse_url(std::wstring_view url)
{
    const std::wstring text(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (text.empty() || !WinHttpCrackUrl(text.c_str(), static_cast<DWORD>(text.size()), 0, &parts))
        unusable(url, L"it is not an absolute URL");
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        unusable(url, L"only http and https are supported");
    HttpUrl result;
    result.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    result.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    if (result.host.empty())
        unusable(url, L"it names no host");
    if (result.host.find_first_of(L" \t\r\n/\\") != std::wstring::npos)
        unusable(url, L"the host name is malformed");
    result.port = parts.nPort;
    result.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (result.path.empty())
        result.path = L"/";
    result.target = result.path + std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    return result;
}

} // namespace soapkit
