#pragma once

#include "ServerConnection.h"

#include <memory>
#include <optional>
#include <string>

namespace classicrfc {

// Serves the gateway's requests on a registered server connection, on the calling thread:
// transaction steps through the installed transaction control, the built-in functions
// (RFC_PING, RFC_DOCU, RFC_SYSTEM_INFO), and calls through the external logon handler and
// then the function's handler (or the global one). Handlers run without the connection's lock,
// so that they can read and answer the call through the API.
class Dispatcher {
public:
    explicit Dispatcher(std::shared_ptr<ServerConnection> server) : m_server(std::move(server)) {}

    // RfcDispatchU: the next request, waiting for it; the handler's code, RFC_CLOSED when the
    // connection ended (also after a refused logon, which aborts it as the library does).
    RFC_RC dispatch();
    // RfcGetNameU without a current call: serves steps and built-ins until a call comes, which
    // becomes the current call; nothing when the connection ended.
    std::optional<std::string> nextCall();

private:
    std::optional<simrfc::IncomingRequest> nextRequest();
    // False when the request was a step or a built-in function and is done.
    bool needsHandler(const simrfc::IncomingRequest& request);
    void serveStep(const simwire::TransactionStepRequest& step);
    bool logonAllowed(const simwire::ServerCallRequest& call);
    RFC_RC serveCall(const simwire::ServerCallRequest& call);
    // Answers a call that no handler serves (a built-in function, a refusal).
    void answerAlone(const simwire::ServerCallRequest& call, const simwire::CallResult& result);

    std::shared_ptr<ServerConnection> m_server;
};

} // namespace classicrfc
