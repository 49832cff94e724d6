#include "Dispatcher.h"

#include "ApiFailure.h"
#include "CallOutcome.h"
#include "ServerHandlers.h"
#include "WideText.h"

#include <mutex>

namespace classicrfc {
namespace {

bool builtIn(const std::string& function)
{
    return function == "RFC_PING" || function == "RFC_DOCU" || function == "RFC_SYSTEM_INFO";
}

// The one-letter SAP code of a language the gateway names by its ISO code.
std::string sapLanguage(const std::string& iso)
{
    static const std::pair<const char*, const char*> codes[] = {{"EN", "E"}, {"DE", "D"}, {"FR", "F"}, {"ES", "S"}, {"IT", "I"},
                                                                {"JA", "J"}, {"NL", "N"}, {"PT", "P"}, {"RU", "R"}, {"ZH", "1"}};
    for (const auto& [isoCode, sap] : codes)
        if (upper(iso) == isoCode)
            return sap;
    return iso.substr(0, 1);
}

// Ends the current call when it goes, whatever happened to its answer.
class EndOfCall {
public:
    explicit EndOfCall(ServerConnection& server) : m_server(server) {}
    ~EndOfCall() { m_server.endCall(); }
    EndOfCall(const EndOfCall&) = delete;
    EndOfCall& operator=(const EndOfCall&) = delete;

private:
    ServerConnection& m_server;
};

} // namespace

std::optional<simrfc::IncomingRequest> Dispatcher::nextRequest()
{
    for (;;) {
        std::lock_guard lock(m_server->mutex());
        const auto wait = m_server->waitForRequest(std::chrono::seconds(1));
        if (wait == ServerConnection::Wait::Request)
            return m_server->takeRequest();
        if (wait == ServerConnection::Wait::Closed)
            return std::nullopt;
    }
}

RFC_RC Dispatcher::dispatch()
{
    const auto request = nextRequest();
    if (!request) {
        m_server->notifyDisconnected();
        closed("the gateway connection is closed");
    }
    if (!needsHandler(*request))
        return RFC_OK;
    if (!logonAllowed(request->call))
        closed("the logon was refused and the connection aborted");
    return serveCall(request->call);
}

std::optional<std::string> Dispatcher::nextCall()
{
    for (;;) {
        auto request = nextRequest();
        if (!request) {
            m_server->notifyDisconnected();
            return std::nullopt;
        }
        if (!needsHandler(*request) || !logonAllowed(request->call))
            continue;
        std::lock_guard lock(m_server->mutex());
        m_server->current() = ServerConnection::CurrentCall{request->call, false, false, {}};
        return request->call.function;
    }
}

bool Dispatcher::needsHandler(const simrfc::IncomingRequest& request)
{
    if (request.kind == simrfc::IncomingRequest::Kind::TransactionStep) {
        serveStep(request.step);
        return false;
    }
    if (!builtIn(request.call.function))
        return true;
    answerAlone(request.call, {});
    return false;
}

void Dispatcher::serveStep(const simwire::TransactionStepRequest& step)
{
    const ServerHandlers::Transactions handlers = ServerHandlers::instance().transactions();
    RFC_TID tid{};
    copyTo(tid, step.tid);
    const RFC_HANDLE h = m_server->handle();
    int rc = GatewayCode::ok;
    switch (step.step) {
    case simwire::TransactionStep::Check:
        if (handlers.check != nullptr) {
            const int checked = handlers.check(tid, h);
            rc = checked == 0 ? GatewayCode::ok : checked == 1 ? GatewayCode::executed : GatewayCode::externalFailure;
        }
        break;
    case simwire::TransactionStep::Commit:
        if (handlers.commit != nullptr && handlers.commit(tid, h) != 0)
            rc = GatewayCode::externalFailure;
        break;
    case simwire::TransactionStep::Rollback:
        if (handlers.rollback != nullptr)
            handlers.rollback(tid, h, 1);
        break;
    case simwire::TransactionStep::Confirm:
        if (handlers.confirm != nullptr)
            handlers.confirm(tid, h);
        break;
    }
    std::lock_guard lock(m_server->mutex());
    m_server->answerStep(rc);
}

void Dispatcher::answerAlone(const simwire::ServerCallRequest& call, const simwire::CallResult& result)
{
    std::lock_guard lock(m_server->mutex());
    m_server->current() = ServerConnection::CurrentCall{call, false, true, {}};
    const EndOfCall ending(*m_server);
    m_server->answer(result);
}

bool Dispatcher::logonAllowed(const simwire::ServerCallRequest& call)
{
    const RFC_EXTERNAL_LOGON handler = m_server->logonHandler;
    if (handler == nullptr)
        return true;
    RFC_EXTERNAL_LOGON_CNTL data{};
    copyTo(data.function_name, call.function);
    copyTo(data.client, call.caller.client);
    copyTo(data.language, sapLanguage(call.caller.language));
    copyTo(data.user, call.caller.user);
    rfc_char_t message[257] = {};
    if (handler(m_server->handle(), &data, message) == RFC_EXTERNAL_LOGON_OK)
        return true;
    // The library aborts the connection with the handler's text, as RfcAbortU does.
    message[256] = 0;
    const std::string text = message[0] != 0 ? utf8(message) : "logon of user " + call.caller.user + " refused by the server program";
    answerAlone(call, {simwire::ErrorRecord::of(GatewayCode::logonFailure, GatewayGroup::logonFailure, "RFC_LOGON_FAILURE", text, true), {}});
    m_server->notifyDisconnected();
    return false;
}

RFC_RC Dispatcher::serveCall(const simwire::ServerCallRequest& call)
{
    const RFC_ONCALL handler = ServerHandlers::instance().handlerFor(call.function);
    if (handler == nullptr) {
        answerAlone(call, {simwire::ErrorRecord::of(GatewayCode::notFound, GatewayGroup::externalRuntime, "FUNCTION_NOT_FOUND",
                                        "no server function for " + call.function, false),
                           {}});
        return RFC_NOT_FOUND;
    }
    {
        std::lock_guard lock(m_server->mutex());
        m_server->current() = ServerConnection::CurrentCall{call, false, true, {}};
    }
    const RFC_RC rc = handler(m_server->handle());
    std::lock_guard lock(m_server->mutex());
    const EndOfCall ending(*m_server);
    auto& current = m_server->current();
    if (current && !current->answered && m_server->open())
        m_server->answer({simwire::ErrorRecord::of(GatewayCode::externalFailure, GatewayGroup::externalApplication, "RFC_FAILURE",
                                       "the server function of " + call.function + " ended with code " + std::to_string(rc) +
                                           " without an answer",
                                       false),
                          {}});
    return rc;
}

} // namespace classicrfc
