#include "gateway/Registration.h"

namespace sapsim {

using namespace simwire;

Registration::Registration(unsigned id, std::string programId, std::unique_ptr<FrameSocket> socket)
    : m_id(id), m_programId(std::move(programId)), m_socket(std::move(socket)), m_peer(m_socket->peer())
{
}

Frame Registration::exchange(MessageType type, const std::string& payload, std::chrono::milliseconds timeout)
{
    m_socket->send(type, payload);
    if (!m_socket->waitReadable(timeout))
        throw GatewayTimeout("the server program sent no answer within " + std::to_string(timeout.count()) + " ms");
    Frame answer = m_socket->receive();
    if (answer.type != MessageType::Ok && answer.type != MessageType::Failure)
        throw WireError("the server program answered with message type " + std::to_string(static_cast<int>(answer.type)));
    return answer;
}

CallResult Registration::call(const ServerCallRequest& request, std::chrono::milliseconds timeout)
{
    const Frame answer = exchange(MessageType::ServerCall, encode(request), timeout);
    WireReader in(answer.payload);
    CallResult result = readCallResult(in);
    in.expectEnd();
    return result;
}

int Registration::transactionStep(const TransactionStepRequest& request, std::chrono::milliseconds timeout)
{
    const Frame answer = exchange(MessageType::TransactionStep, encode(request), timeout);
    WireReader in(answer.payload);
    const auto rc = static_cast<int>(in.u32());
    in.expectEnd();
    return rc;
}

void Registration::welcome(const SystemAttributes& attributes)
{
    m_socket->send(MessageType::Ok, encode(attributes));
}

bool Registration::alive()
{
    return !m_socket->aborted() && !m_socket->waitReadable(std::chrono::milliseconds(0));
}

} // namespace sapsim
