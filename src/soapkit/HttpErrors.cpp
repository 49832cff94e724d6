#include "HttpErrors.h"

#include "SoapError.h"
#include "SoapKit.h"

#include <winhttp.h>

namespace soapkit {
namespace {

// Windows reports 12002 for a time-out; Wine's WinHTTP reports the socket's 10060.
constexpr DWORD kSocketTimedOut = 10060;

std::wstring system_text(DWORD error)
{
    wchar_t* buffer = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM |
                        FORMAT_MESSAGE_FROM_HMODULE;
    const DWORD n = FormatMessageW(flags, GetModuleHandleW(L"winhttp.dll"), error, 0,
                                   reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : L"WinHTTP error " + std::to_wstring(error);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}

std::wstring through(const HttpPeer& peer)
{
    return peer.proxy.empty() ? std::wstring() : L" through proxy " + peer.proxy;
}

} // namespace

HRESULT result_of_winhttp(DWORD error) noexcept
{
    switch (error) {
    case ERROR_WINHTTP_CANNOT_CONNECT: return result::Refused;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return result::HostNotFound;
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return result::BadUrl;
    case ERROR_WINHTTP_TIMEOUT:
    case kSocketTimedOut:
    case ERROR_WINHTTP_OPERATION_CANCELLED:
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE: return result::TimedOut;
    default: return HRESULT_FROM_WIN32(error);
    }
}

void fail_winhttp(DWORD error, const HttpPeer& peer)
{
    const HRESULT code = result_of_winhttp(error);
    switch (code) {
    case result::Refused:
        fail(code, L"could not connect to " + peer.server + through(peer) + L" (connection refused)");
    case result::HostNotFound:
        fail(code, L"could not resolve the host name '" + (peer.proxy.empty() ? peer.host : peer.proxy) + L"'");
    case result::TimedOut:
        if (error == ERROR_WINHTTP_TIMEOUT || error == kSocketTimedOut)
            fail(code, L"no answer from " + peer.server + through(peer) + L" in time");
        fail(code, L"the request to " + peer.server + through(peer) +
                       L" ended before a complete response arrived: " + system_text(error));
    default:
        fail(code, L"the request to " + peer.server + through(peer) + L" failed: " + system_text(error));
    }
}

} // namespace soapkit
