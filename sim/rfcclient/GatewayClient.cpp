#include "GatewayClient.h"

namespace simrfc {

using namespace simwire;

std::unique_ptr<GatewayClient> GatewayClient::open(const Endpoint& endpoint, const ClientHello& hello,
                                                   std::chrono::milliseconds timeout)
{
    std::unique_ptr<FrameSocket> socket;
    try {
        socket = FrameSocket::connect(endpoint.host, endpoint.port, timeout);
    } catch (const ConnectionLost& e) {
        throw RfcFailure::communication(std::string("partner ") + endpoint.host + ":" + std::to_string(endpoint.port) +
                                        " not reached: " + e.what());
    }
    // A call may run as long as its module does; only a partner that stops answering altogether ends it.
    socket->setTransferTimeout(answerTimeout);
    std::unique_ptr<GatewayClient> client(new GatewayClient(std::move(socket)));
    const Frame answer = client->exchange(MessageType::ClientHello, encode(hello));
    WireReader in(answer.payload);
    if (answer.type == MessageType::Failure) {
        client->m_socket.reset();
        throw RfcFailure(readErrorRecord(in));
    }
    client->m_attributes = readSystemAttributes(in);
    return client;
}

GatewayClient::~GatewayClient()
{
    close();
}

Frame GatewayClient::exchange(MessageType type, const std::string& payload)
{
    send(type, payload);
    return receiveAnswer();
}

void GatewayClient::broken(const std::exception& e)
{
    m_socket.reset();
    throw RfcFailure::communication(std::string("connection to the gateway broken: ") + e.what());
}

void GatewayClient::send(MessageType type, const std::string& payload)
{
    if (!m_socket)
        throw RfcFailure::communication("the connection is closed");
    try {
        m_socket->send(type, payload);
    } catch (const std::exception& e) {
        broken(e);
    }
}

Frame GatewayClient::receiveAnswer()
{
    if (!m_socket)
        throw RfcFailure::communication("the connection is closed");
    try {
        Frame answer = m_socket->receive();
        if (answer.type != MessageType::Ok && answer.type != MessageType::Failure)
            throw WireError("unexpected answer");
        return answer;
    } catch (const std::exception& e) {
        broken(e);
    }
}

std::string GatewayClient::request(MessageType type, const std::string& payload)
{
    Frame answer = exchange(type, payload);
    if (answer.type == MessageType::Failure) {
        WireReader in(answer.payload);
        ErrorRecord error = readCallResult(in).error;
        if (error.closes)
            m_socket.reset();
        throw RfcFailure(std::move(error));
    }
    return std::move(answer.payload);
}

FunctionDescription GatewayClient::describeFunction(const std::string& name)
{
    WireWriter w;
    w.text(name);
    const std::string payload = request(MessageType::DescribeFunction, w.take());
    WireReader in(payload);
    return readFunctionDescription(in);
}

TypeDescriptions GatewayClient::describeType(const std::string& name)
{
    WireWriter w;
    w.text(name);
    const std::string payload = request(MessageType::DescribeType, w.take());
    WireReader in(payload);
    return readTypeDescriptions(in);
}

CallResult GatewayClient::call(const CallRequest& callRequest)
{
    sendCall(callRequest);
    return receiveCall();
}

void GatewayClient::sendCall(const CallRequest& callRequest)
{
    send(MessageType::Call, encode(callRequest));
}

bool GatewayClient::answerWaiting(std::chrono::milliseconds wait)
{
    return m_socket == nullptr || m_socket->waitReadable(wait);
}

CallResult GatewayClient::receiveCall()
{
    const Frame answer = receiveAnswer();
    WireReader in(answer.payload);
    CallResult result = readCallResult(in);
    if (result.error.closes)
        m_socket.reset();
    return result;
}

std::string GatewayClient::newTid()
{
    const std::string payload = request(MessageType::NewTid, {});
    WireReader in(payload);
    return in.text();
}

void GatewayClient::submitUnit(const UnitRequest& unit)
{
    request(MessageType::SubmitUnit, encode(unit));
}

void GatewayClient::confirmUnit(const std::string& tid)
{
    WireWriter w;
    w.text(tid);
    request(MessageType::ConfirmUnit, w.take());
}

void GatewayClient::ping()
{
    request(MessageType::Ping, {});
}

std::string GatewayClient::ticket()
{
    const std::string payload = request(MessageType::Ticket, {});
    WireReader in(payload);
    return in.text();
}

void GatewayClient::close()
{
    if (!m_socket)
        return;
    try {
        m_socket->send(MessageType::Bye, {});
    } catch (const std::exception&) {
        // Already gone: closing is all that is left.
    }
    m_socket.reset();
}

} // namespace simrfc
