#include "ClientConnection.h"

#include "ApiFailure.h"
#include "CallOutcome.h"
#include "WideText.h"

#include "ProcessName.h"

#include <windows.h>

namespace classicrfc {
namespace {

simrfc::Endpoint endpointOf(const ConnectString& p)
{
    if (p.has("MSHOST") && !p.has("ASHOST"))
        invalidParameter("logon through a message server (MSHOST) is not offered: give ASHOST and SYSNR");
    if (p.has("DEST"))
        invalidParameter("destinations of saprfc.ini (DEST) are not offered: give ASHOST and SYSNR");
    if (const std::string type = p.get("TYPE"); !type.empty() && type != "3")
        invalidParameter("only application servers (TYPE=3) can be opened");
    try {
        return simrfc::Endpoint::from(p.get("ASHOST"), p.get("SYSNR"), p.get("GWSERV"));
    } catch (const simrfc::RfcFailure& f) {
        rethrow(f, RFC_INVALID_PARAMETER);
    }
}

simwire::ClientHello helloOf(const ConnectString& p)
{
    simwire::ClientHello hello;
    hello.received = p.received();
    hello.client = p.get("CLIENT");
    hello.user = p.get("USER");
    hello.password = p.get("PASSWD");
    hello.language = p.get("LANG");
    hello.ticket = p.get("MYSAPSSO2");
    hello.programName = simrfc::processName();
    if (hello.client.empty())
        invalidParameter("parameter CLIENT missing");
    if (hello.user.empty() && hello.ticket.empty())
        invalidParameter("parameter USER missing");
    return hello;
}

void wipe(std::string& secret)
{
    SecureZeroMemory(secret.data(), secret.size());
    secret.clear();
}

} // namespace

std::shared_ptr<ClientConnection> ClientConnection::open(const ConnectString& parameters, std::chrono::milliseconds connectTimeout)
{
    const simrfc::Endpoint endpoint = endpointOf(parameters);
    simwire::ClientHello hello = helloOf(parameters);
    std::unique_ptr<simrfc::GatewayClient> gateway;
    try {
        gateway = simrfc::GatewayClient::open(endpoint, hello, connectTimeout);
    } catch (const simrfc::RfcFailure& f) {
        wipe(hello.password);
        rethrow(f, RFC_FAILURE);
    }
    return std::make_shared<ClientConnection>(std::move(gateway), endpoint, std::move(hello), connectTimeout,
                                              parameters.get("GETSSO2") == "1");
}

ClientConnection::ClientConnection(std::unique_ptr<simrfc::GatewayClient> gateway, simrfc::Endpoint endpoint, simwire::ClientHello hello,
                                   std::chrono::milliseconds connectTimeout, bool wantsTicket)
    : Connection(gateway->attributes(), hello.programName, false), m_gateway(std::move(gateway)), m_endpoint(std::move(endpoint)),
      m_hello(std::move(hello)), m_connectTimeout(connectTimeout)
{
    if (!wantsTicket)
        return;
    try {
        m_ticket = m_gateway->ticket();
    } catch (const simrfc::RfcFailure&) {
        // No ticket: RfcGetTicketU will say so; the logon itself stands.
    }
}

ClientConnection::~ClientConnection()
{
    wipe(m_hello.password);
    wipe(m_hello.ticket);
    if (m_ticket)
        wipe(*m_ticket);
}

void ClientConnection::shutdown()
{
    m_gateway.reset(); // says goodbye and closes
    m_pending.reset();
}

simrfc::GatewayClient& ClientConnection::gateway()
{
    if (!open())
        closed("the connection to the partner is closed");
    return *m_gateway;
}

simrfc::GatewayClient& ClientConnection::idleGateway()
{
    simrfc::GatewayClient& g = gateway();
    if (m_pending)
        programFailure("RFC_FAILURE", "a call is waiting for its answer on this connection");
    return g;
}

std::shared_ptr<const FunctionShape> ClientConnection::shape(const std::string& function)
{
    if (const auto it = m_shapes.find(function); it != m_shapes.end())
        return it->second;
    try {
        auto shape = std::make_shared<const FunctionShape>(idleGateway().describeFunction(function));
        m_shapes[function] = shape;
        return shape;
    } catch (const simrfc::RfcFailure& f) {
        if (f.record().code == GatewayCode::notFound) // the call itself will say so
            return nullptr;
        rethrow(f, open() ? RFC_FAILURE : RFC_CLOSED);
    }
}

void ClientConnection::send(const simwire::CallRequest& request, std::shared_ptr<const FunctionShape> shape)
{
    try {
        idleGateway().sendCall(request);
    } catch (const simrfc::RfcFailure& f) {
        rethrow(f, RFC_CLOSED);
    }
    m_pending = PendingCall{std::move(shape), std::nullopt};
}

ClientConnection::Answer ClientConnection::listen()
{
    if (!m_pending)
        programFailure("RFC_FAILURE", "no call is waiting for an answer on this connection");
    if (m_pending->answer)
        return Answer::Arrived;
    if (!open())
        return Answer::Closed;
    try {
        if (!m_gateway->answerWaiting(std::chrono::milliseconds(0)))
            return Answer::Waiting;
        m_pending->answer = m_gateway->receiveCall();
        return Answer::Arrived;
    } catch (const std::exception&) {
        shutdown();
        return Answer::Closed;
    }
}

std::pair<simwire::CallResult, std::shared_ptr<const FunctionShape>> ClientConnection::receive()
{
    if (!m_pending) {
        gateway();
        programFailure("RFC_FAILURE", "no call is waiting for an answer on this connection");
    }
    PendingCall call = std::move(*m_pending);
    m_pending.reset();
    if (call.answer)
        return {std::move(*call.answer), call.shape};
    try {
        return {gateway().receiveCall(), call.shape};
    } catch (const simrfc::RfcFailure& f) {
        shutdown();
        return {simwire::CallResult{f.record(), {}}, call.shape};
    } catch (const simwire::WireError& e) {
        shutdown();
        return {simwire::CallResult{simrfc::RfcFailure::communication(e.what()).record(), {}}, call.shape};
    }
}

RFC_RC ClientConnection::cancel(RFC_CANCEL_TYPE type)
{
    if (!m_pending) {
        gateway();
        programFailure("RFC_FAILURE", "no call to cancel on this connection");
    }
    const bool answered = m_pending->answer.has_value();
    m_pending.reset();
    if (type == RFC_CANCEL_CLOSE) {
        shutdown();
        return RFC_CANCELED;
    }
    if (answered)
        return RFC_CANCELED;
    // The gateway finishes the call for nobody; a new logon is a new user context.
    m_gateway.reset();
    try {
        m_gateway = simrfc::GatewayClient::open(m_endpoint, m_hello, m_connectTimeout);
    } catch (const simrfc::RfcFailure& f) {
        rethrow(f, RFC_CLOSED);
    }
    return RFC_CANCELED;
}

std::optional<std::string> ClientConnection::takeTicket()
{
    return std::exchange(m_ticket, std::nullopt);
}

const rfc_char_t* ClientConnection::keepException(const std::string& name)
{
    m_exception = wide(name);
    return m_exception.c_str();
}

} // namespace classicrfc
