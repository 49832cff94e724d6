#pragma once
// A request URL taken apart for WinHTTP and for cookie matching.
#include <windows.h>
#include <winhttp.h>

#include <string>
#include <string_view>

namespace soapkit {

struct HttpUrl {
    bool secure = false;
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring path;   // without the query, "/" at least
    std::wstring target; // path and query, as sent in the request line

    // "host:port", for messages.
    std::wstring authority() const { return host + L":" + std::to_wstring(port); }
};

// Throws SoapError (0x80044310) for text that is not an absolute http or https URL with a host.
HttpUrl parse_url(std::wstring_view url);

} // namespace soapkit
