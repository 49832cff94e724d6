#pragma once

#include "ServerConnection.h"

namespace nwrfc {

// RfcListenAndDispatch: waits for the gateway's next request on a registered server
// connection and runs it on the calling thread: a call through the authorization check and
// its server function (described by the installed description or the description provider),
// or one step of a transaction through its handler.
class Dispatcher {
public:
    Dispatcher(ServerConnection& connection, RFC_ERROR_INFO& errorInfo) : m_connection(connection), m_error(errorInfo) {}

    RFC_RC listenAndDispatch(int timeoutSeconds);

private:
    RFC_RC dispatchCall(const simwire::ServerCallRequest& request);
    RFC_RC dispatchStep(const simwire::TransactionStepRequest& request);
    RFC_RC checkAuthorization(const simwire::ServerCallRequest& request);
    RFC_RC refuse(RFC_RC code, RFC_ERROR_GROUP group, const std::string& key, const std::string& message, bool closes);
    void answerFailure(const RFC_ERROR_INFO& error, RFC_ERROR_GROUP fallbackGroup, simwire::NamedValues tables, bool closes);

    ServerConnection& m_connection;
    RFC_ERROR_INFO& m_error;
};

} // namespace nwrfc
