#include "ServerConnection.h"

#include "ApiFailure.h"
#include "CallOutcome.h"
#include "TableRegistry.h"

namespace classicrfc {

ServerConnection::ServerConnection(std::unique_ptr<simrfc::GatewayRegistration> registration, std::string programId)
    : Connection(registration->attributes(), std::move(programId), true), m_registration(std::move(registration))
{
}

ServerConnection::Wait ServerConnection::waitForRequest(std::chrono::milliseconds timeout)
{
    if (m_ahead)
        return Wait::Request;
    if (!open())
        return Wait::Closed;
    try {
        m_ahead = m_registration->next(timeout);
    } catch (const simrfc::RfcFailure&) {
        return Wait::Closed;
    }
    return m_ahead ? Wait::Request : Wait::Nothing;
}

ServerConnection::CurrentCall& ServerConnection::requireCurrent()
{
    if (!m_current)
        programFailure("RFC_FAILURE", "no call is being served on this handle");
    return *m_current;
}

void ServerConnection::answer(const simwire::CallResult& result)
{
    CurrentCall& call = requireCurrent();
    if (call.answered)
        programFailure("RFC_FAILURE", "the call was answered already");
    call.answered = true;
    try {
        m_registration->answerCall(result);
    } catch (const simrfc::RfcFailure& f) {
        rethrow(f, RFC_CLOSED);
    }
    if (result.error.closes)
        shutdown();
    if (!call.dispatched)
        endCall();
}

void ServerConnection::answerStep(int returnCode)
{
    try {
        m_registration->answerStep(returnCode);
    } catch (const simrfc::RfcFailure& f) {
        rethrow(f, RFC_CLOSED);
    }
}

void ServerConnection::endCall()
{
    if (!m_current)
        return;
    for (ITAB_H table : m_current->createdTables)
        TableRegistry::destroy(table);
    m_current.reset();
}

} // namespace classicrfc
