#include "SoapErrors.h"

#include "session/TextFormat.h"
#include "session/Trace.h"
#include "idl/Tolvane_h.h"

#include <cstdarg>
#include <cwchar>
#include <iterator>

namespace tolvane::soap {
CallOutcome MapFailure(HRESULT hr, const std::wstring& description, const std::wstring& exceptionName,
                       const ServerAddress& address, IHttpTransport* transport, HRESULT* result)
{
    CallOutcome o;
    o.failed = true;
    HRESULT returned = S_OK;
    switch (static_cast<unsigned long>(hr)) {
    case 0x80044201UL:
        o = {true, RFCERROR_APPLICATION_EXCEPTION, L"internal server error", exceptionName, false};
        break;
    case 0x80044240UL:
        o = {true, RFCERROR_INTERNAL, L"parse error",
             FormatText(L"error parsing response from server: %s", description.c_str()), false};
        break;
    case 0x80044310UL:
        o = {true, RFCERROR_COMMUNICATION, L"communication error", L"invalid url specified", false};
        break;
    case 0x80070005UL:
        o = {true, RFCERROR_LOGON_FAILURE, L"logon failure", L"logon failed: wrong user, password or client", false};
        break;
    case 0x8007274CUL:
        o = {true, RFCERROR_CANCELLED, L"request cancelled", L"request cancelled or timed out", false};
        break;
    case 0x8007274DUL:
        o = {true, RFCERROR_COMMUNICATION, L"communication error",
             address.proxy.empty()
                 ? FormatText(L"could not connect to host %s:%i", address.host.c_str(), static_cast<int>(address.port))
                 : FormatText(L"could not connect to host %s:%i (through proxy %s)", address.host.c_str(),
                          static_cast<int>(address.port), address.proxy.c_str()),
             false};
        break;
    case 0x80072AF9UL:
    case 0x80072AFCUL:
        o = {true, RFCERROR_COMMUNICATION, L"communication error",
             FormatText(L"could not resolve host %s", address.host.c_str()), false};
        break;
    default:
        o = {true, RFCERROR_INTERNAL, L"internal error",
             FormatText(L"internal error 0x%x : %s", static_cast<unsigned>(hr), description.c_str()), false};
        returned = hr;
        break;
    }
    short status = 0;
    if (transport)
        transport->GetHttpStatus(&status);
    ostrel::TraceFormat(L"CSoapSession: error: 0x%X (http status %i): %s\n", static_cast<unsigned>(hr),
                        static_cast<int>(status), o.message.c_str());
    if (result)
        *result = returned;
    return o;
}

} // namespace tolvane::soap
