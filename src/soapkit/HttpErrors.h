#pragma once
// WinHTTP's error codes as the component's failure codes, with a description naming the
// server (or the proxy) involved.
#include <windows.h>

#include <string>

namespace soapkit {

struct HttpPeer {
    std::wstring server; // "host:port"
    std::wstring host;
    std::wstring proxy; // "host:port", empty without a proxy
};

HRESULT result_of_winhttp(DWORD error) noexcept;

// Throws SoapError for a WinHTTP error code.
[[noreturn]] void fail_winhttp(DWORD error, const HttpPeer& peer);

} // namespace soapkit
