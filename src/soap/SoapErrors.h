#pragma once
// How failures of the SOAP component show in a session's error state.
#include "session/IntCall.h"
#include "soapkit/SoapKit.h"

#include <string>

namespace tolvane::soap {

// What the session remembers of its last Connect, for messages.
struct ServerAddress {
    std::wstring host;
    long port = 0;
    std::wstring proxy; // "host:port" of the proxy, empty without one
};

// The error state a failed HRESULT of the component stands for. `exceptionName` is what a SOAP
// fault reported. `result` receives what Connect returns: S_OK for the failures the table
// knows, the HRESULT itself for any other. Traces the failure with the transport's HTTP status.
CallOutcome MapFailure(HRESULT hr, const std::wstring& description, const std::wstring& exceptionName,
                       const ServerAddress& address, IHttpTransport* transport, HRESULT* result = nullptr);

} // namespace tolvane::soap
