#pragma once

#include "ConnectString.h"
#include "Connection.h"
#include "FunctionShape.h"

#include "GatewayClient.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>

namespace classicrfc {

// A client logged on at sapsim's gateway, opened from a connect string. At most one call is in
// flight: RfcCallExU sends it, RfcListenU looks whether its answer came, RfcReceiveExU takes it.
// A cancel drops the gateway connection with the call in it and logs on again (a new user
// context, the same handle). Interfaces the partner describes are kept per function.
class ClientConnection : public Connection {
public:
    // Logs on; RFC_FAILURE with the gateway's refusal (group LOGON_FAILURE) or a communication
    // failure, RFC_INVALID_PARAMETER for parameters the library cannot use.
    static std::shared_ptr<ClientConnection> open(const ConnectString& parameters, std::chrono::milliseconds connectTimeout);

    ClientConnection(std::unique_ptr<simrfc::GatewayClient> gateway, simrfc::Endpoint endpoint, simwire::ClientHello hello,
                     std::chrono::milliseconds connectTimeout, bool wantsTicket);
    ~ClientConnection() override;

    bool open() const override { return m_gateway != nullptr && m_gateway->isOpen(); }
    void shutdown() override;

    // RFC_CLOSED when the connection ended; RFC_FAILURE while a call waits for its answer.
    simrfc::GatewayClient& idleGateway();
    // The partner's interface of a function, or null when it does not know the function.
    std::shared_ptr<const FunctionShape> shape(const std::string& function);

    enum class Answer { Waiting, Arrived, Closed };
    void send(const simwire::CallRequest& request, std::shared_ptr<const FunctionShape> shape);
    bool callPending() const { return m_pending.has_value(); }
    // Whether the pending call's answer is there, without waiting (RFC_FAILURE without a call).
    Answer listen();
    // Waits for the pending call's answer and ends the call; its shape comes along.
    std::pair<simwire::CallResult, std::shared_ptr<const FunctionShape>> receive();
    RFC_RC cancel(RFC_CANCEL_TYPE type);

    // The logon ticket asked for with GETSSO2=1, handed out once.
    std::optional<std::string> takeTicket();
    // Holds the last exception name RfcReceiveExU handed out, until the next.
    const rfc_char_t* keepException(const std::string& name);

private:
    struct PendingCall {
        std::shared_ptr<const FunctionShape> shape;
        std::optional<simwire::CallResult> answer;
    };

    simrfc::GatewayClient& gateway();

    std::unique_ptr<simrfc::GatewayClient> m_gateway;
    simrfc::Endpoint m_endpoint;
    simwire::ClientHello m_hello; // kept to log on again after a cancel
    std::chrono::milliseconds m_connectTimeout;
    std::map<std::string, std::shared_ptr<const FunctionShape>> m_shapes;
    std::optional<PendingCall> m_pending;
    std::optional<std::string> m_ticket;
    std::wstring m_exception;
};

} // namespace classicrfc
