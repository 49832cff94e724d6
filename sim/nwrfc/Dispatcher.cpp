#include "Dispatcher.h"

#include "Record.h"
#include "Table.h"
#include "ServerHandlers.h"
#include "Trace.h"

#include <chrono>

namespace nwrfc {
namespace {

simwire::ErrorRecord recordOf(const RFC_ERROR_INFO& e, RFC_ERROR_GROUP fallbackGroup, bool closes)
{
    simwire::ErrorRecord r;
    r.code = e.code;
    r.group = e.group == RFC_GROUP_OK ? fallbackGroup : e.group;
    r.key = toUtf8(view(e.key));
    r.message = toUtf8(view(e.message));
    r.abapMsgClass = toUtf8(view(e.abapMsgClass));
    r.abapMsgType = toUtf8(view(e.abapMsgType));
    r.abapMsgNumber = toUtf8(view(e.abapMsgNumber));
    r.abapMsgV1 = toUtf8(view(e.abapMsgV1));
    r.abapMsgV2 = toUtf8(view(e.abapMsgV2));
    r.abapMsgV3 = toUtf8(view(e.abapMsgV3));
    r.abapMsgV4 = toUtf8(view(e.abapMsgV4));
    r.closes = closes;
    return r;
}

// The secured strings of RFC_SECURITY_ATTRIBUTES live here while the check runs.
struct SecurityStrings {
    Ustring function, sysId, client, user, program, snc, ticket;
    RFC_SECURITY_ATTRIBUTES attributes{};

    explicit SecurityStrings(const simwire::ServerCallRequest& r)
        : function(fromUtf8(r.function)), sysId(fromUtf8(r.caller.sysId)), client(fromUtf8(r.caller.client)),
          user(fromUtf8(r.caller.user)), program(fromUtf8(r.caller.program)), ticket(fromUtf8(r.caller.ticket))
    {
        attributes = {function.data(), sysId.data(), client.data(), user.data(), program.data(), snc.data(), ticket.data(), nullptr, 0};
    }
};

bool keepsConnection(RFC_RC rc)
{
    return rc == RFC_OK || rc == RFC_ABAP_EXCEPTION || rc == RFC_LOGON_FAILURE || rc == RFC_AUTHORIZATION_FAILURE;
}

} // namespace

RFC_RC Dispatcher::listenAndDispatch(int timeoutSeconds)
{
    simrfc::GatewayRegistration& registration = m_connection.registration();
    if (!registration.isOpen())
        return refuse(RFC_CLOSED, RFC_GROUP_COMMUNICATION_FAILURE, "RFC_CLOSED", "the gateway connection is closed", false);
    try {
        const auto request = registration.next(std::chrono::seconds(std::max(timeoutSeconds, 0)));
        if (!request) {
            m_error.code = RFC_RETRY;
            return RFC_RETRY;
        }
        if (request->kind == simrfc::IncomingRequest::Kind::TransactionStep)
            return dispatchStep(request->step);
        return dispatchCall(request->call);
    } catch (const simrfc::RfcFailure& f) {
        ApiFailure(f.record()).fill(m_error);
        m_connection.trace(1, "gateway connection lost");
        return m_error.code;
    }
}

RFC_RC Dispatcher::refuse(RFC_RC code, RFC_ERROR_GROUP group, const std::string& key, const std::string& message, bool closes)
{
    ApiFailure(code, group, key, message).fill(m_error);
    if (m_connection.registration().isOpen())
        m_connection.registration().answerCall({recordOf(m_error, group, closes), {}});
    if (closes)
        m_connection.registration().close();
    return code;
}

void Dispatcher::answerFailure(const RFC_ERROR_INFO& error, RFC_ERROR_GROUP fallbackGroup, simwire::NamedValues tables, bool closes)
{
    m_connection.registration().answerCall({recordOf(error, fallbackGroup, closes), std::move(tables)});
    if (closes)
        m_connection.registration().close();
}

RFC_RC Dispatcher::checkAuthorization(const simwire::ServerCallRequest& request)
{
    const RFC_ON_AUTHORIZATION_CHECK check = ServerHandlers::instance().authorization();
    if (check == nullptr)
        return RFC_OK;
    SecurityStrings security(request);
    RFC_ERROR_INFO error{};
    const RFC_RC rc = check(handleOf<RFC_CONNECTION_HANDLE>(m_connection), &security.attributes, &error);
    if (rc == RFC_OK)
        return RFC_OK;
    error.code = rc;
    if (error.key[0] == 0)
        copyTo(error.key, std::string_view("RFC_AUTHORIZATION_FAILURE"));
    if (error.message[0] == 0)
        copyTo(error.message, "user " + request.caller.user + " is not allowed to call " + request.function);
    m_error = error;
    m_error.group = error.group == RFC_GROUP_OK ? RFC_GROUP_EXTERNAL_AUTHORIZATION_FAILURE : error.group;
    answerFailure(m_error, RFC_GROUP_EXTERNAL_AUTHORIZATION_FAILURE, {}, false);
    m_connection.trace(1, "call of " + request.function + " refused by the authorization check");
    return rc;
}

RFC_RC Dispatcher::dispatchCall(const simwire::ServerCallRequest& request)
{
    const std::string& sysId = m_connection.attributes().sysId;
    ServerHandlers::Handler handler = ServerHandlers::instance().find(sysId, request.function);
    if (handler.description == nullptr) {
        const RFC_FUNC_DESC_CALLBACK provider = ServerHandlers::instance().provider();
        RFC_FUNCTION_DESC_HANDLE described = nullptr;
        const Ustring name = fromUtf8(request.function);
        if (handler.function == nullptr || provider == nullptr || provider(name.c_str(), m_connection.rfcAttributes(), &described) != RFC_OK)
            return refuse(RFC_NOT_FOUND, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "FUNCTION_NOT_FOUND",
                          "no server function for " + request.function, true);
        try {
            handler.description = functionFromHandle(described);
        } catch (const ApiFailure&) {
            return refuse(RFC_NOT_FOUND, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "FUNCTION_NOT_FOUND",
                          "the description provider gave no valid description for " + request.function, true);
        }
    }
    if (const RFC_RC refused = checkAuthorization(request); refused != RFC_OK)
        return refused;
    std::unique_ptr<Record> container;
    try {
        container = std::make_unique<Record>(handler.description);
        container->apply(request.inputs);
    } catch (const ApiFailure& f) {
        // A description that cannot hold the values (or is incomplete): the caller gets a failure.
        return refuse(RFC_EXTERNAL_FAILURE, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, f.key(), f.what(), true);
    }
    Record& call = *container;
    m_connection.context = RFC_SERVER_CONTEXT{};
    m_connection.context.type = request.type == simwire::CallType::Transactional ? RFC_TRANSACTIONAL : RFC_SYNCHRONOUS;
    copyTo(m_connection.context.tid, request.tid);
    m_connection.dispatching = true;
    m_connection.trace(2, "dispatching " + request.function);
    RFC_ERROR_INFO error{};
    const RFC_RC rc = handler.function(handleOf<RFC_CONNECTION_HANDLE>(m_connection), handleOf<RFC_FUNCTION_HANDLE>(call), &error);
    m_connection.dispatching = false;
    m_connection.trace(2, request.function + " returned " + toUtf8(RfcGetRcAsString(rc)));
    if (rc == RFC_OK) {
        m_connection.registration().answerCall({{}, call.outputs(false)});
        return RFC_OK;
    }
    error.code = rc;
    m_error = error;
    if (rc == RFC_ABAP_EXCEPTION)
        answerFailure(error, RFC_GROUP_ABAP_APPLICATION_FAILURE, call.outputs(true), false);
    else
        answerFailure(error, rc == RFC_ABAP_MESSAGE ? RFC_GROUP_ABAP_RUNTIME_FAILURE : RFC_GROUP_EXTERNAL_APPLICATION_FAILURE, {},
                      !keepsConnection(rc));
    return rc;
}

RFC_RC Dispatcher::dispatchStep(const simwire::TransactionStepRequest& request)
{
    const auto handlers = ServerHandlers::instance().transactions(m_connection.attributes().sysId);
    const Ustring tid = fromUtf8(request.tid);
    const RFC_CONNECTION_HANDLE handle = handleOf<RFC_CONNECTION_HANDLE>(m_connection);
    m_connection.context = RFC_SERVER_CONTEXT{};
    m_connection.context.type = RFC_TRANSACTIONAL;
    copyTo(m_connection.context.tid, tid);
    m_connection.dispatching = true;
    RFC_RC rc = RFC_OK;
    switch (request.step) {
    case simwire::TransactionStep::Check: rc = handlers.check ? handlers.check(handle, tid.c_str()) : RFC_OK; break;
    case simwire::TransactionStep::Commit: rc = handlers.commit ? handlers.commit(handle, tid.c_str()) : RFC_OK; break;
    case simwire::TransactionStep::Rollback: rc = handlers.rollback ? handlers.rollback(handle, tid.c_str()) : RFC_OK; break;
    case simwire::TransactionStep::Confirm: rc = handlers.confirm ? handlers.confirm(handle, tid.c_str()) : RFC_OK; break;
    }
    m_connection.dispatching = false;
    m_connection.trace(2, "transaction step " + std::to_string(static_cast<int>(request.step)) + " returned " + toUtf8(RfcGetRcAsString(rc)));
    m_connection.registration().answerStep(rc);
    return RFC_OK;
}

} // namespace nwrfc
