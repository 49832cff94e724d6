#include "GatewayRegistration.h"

namespace simrfc {

using namespace simwire;

std::unique_ptr<GatewayRegistration> GatewayRegistration::registerAt(const Endpoint& endpoint, const ServerHello& hello,
                                                                     std::chrono::milliseconds timeout)
{
    std::unique_ptr<GatewayRegistration> r;
    try {
        r.reset(new GatewayRegistration(FrameSocket::connect(endpoint.host, endpoint.port, timeout)));
        r->m_socket->send(MessageType::ServerHello, encode(hello));
        if (!r->m_socket->waitReadable(timeout))
            throw ConnectionLost("the gateway did not answer the registration");
        const Frame answer = r->m_socket->receive();
        WireReader in(answer.payload);
        if (answer.type == MessageType::Failure)
            throw RfcFailure(readErrorRecord(in));
        if (answer.type != MessageType::Ok)
            throw WireError("unexpected answer to the registration");
        r->m_attributes = readSystemAttributes(in);
    } catch (const RfcFailure&) {
        throw;
    } catch (const std::exception& e) {
        throw RfcFailure::communication(std::string("registration at ") + endpoint.host + ":" + std::to_string(endpoint.port) +
                                        " failed: " + e.what());
    }
    return r;
}

void GatewayRegistration::lost(const std::exception& e)
{
    m_socket.reset();
    throw RfcFailure::communication(std::string("connection to the gateway lost: ") + e.what());
}

std::optional<IncomingRequest> GatewayRegistration::next(std::chrono::milliseconds timeout)
{
    if (!m_socket)
        throw RfcFailure::communication("the registration is closed");
    try {
        if (!m_socket->waitReadable(timeout))
            return std::nullopt;
        const Frame frame = m_socket->receive();
        WireReader in(frame.payload);
        IncomingRequest request;
        if (frame.type == MessageType::ServerCall) {
            request.call = readServerCallRequest(in);
        } else if (frame.type == MessageType::TransactionStep) {
            request.kind = IncomingRequest::Kind::TransactionStep;
            request.step = readTransactionStepRequest(in);
        } else {
            throw WireError("unexpected message from the gateway");
        }
        in.expectEnd();
        return request;
    } catch (const std::exception& e) {
        lost(e);
    }
}

void GatewayRegistration::send(MessageType type, const std::string& payload)
{
    if (!m_socket)
        throw RfcFailure::communication("the registration is closed");
    try {
        m_socket->send(type, payload);
    } catch (const std::exception& e) {
        lost(e);
    }
}

void GatewayRegistration::answerCall(const CallResult& result)
{
    send(result.error.code == 0 ? MessageType::Ok : MessageType::Failure, encode(result));
}

void GatewayRegistration::answerStep(int returnCode)
{
    WireWriter w;
    w.u32(static_cast<uint32_t>(returnCode));
    send(MessageType::Ok, w.take());
}

} // namespace simrfc
