#pragma once

#include "Endpoint.h"
#include "RfcFailure.h"

#include "FrameSocket.h"
#include "WireDescription.h"
#include "WireMessages.h"

#include <chrono>
#include <memory>
#include <string>

namespace simrfc {

// A client connection to sapsim's gateway: logon, descriptions, calls with raw values,
// transactional units, ping and the connection's logon ticket. Calls run one at a time on the
// caller's thread. A broken connection throws RfcFailure (RFC_COMMUNICATION_FAILURE) once and
// is closed from then on.
class GatewayClient {
public:
    // Connects and logs on; throws RfcFailure with the gateway's refusal or a communication failure.
    static std::unique_ptr<GatewayClient> open(const Endpoint& endpoint, const simwire::ClientHello& hello,
                                               std::chrono::milliseconds timeout = std::chrono::seconds(10));
    ~GatewayClient();

    const simwire::SystemAttributes& attributes() const { return m_attributes; }
    bool isOpen() const { return m_socket != nullptr; }

    simwire::FunctionDescription describeFunction(const std::string& name);
    simwire::TypeDescriptions describeType(const std::string& name);
    // The module's outcome: code 0 with the outputs, or its error record (an ABAP exception comes
    // with the tables). An error that ends the connection closes this client too.
    simwire::CallResult call(const simwire::CallRequest& request);
    // The same call in two halves, for libraries that let the caller do other work meanwhile:
    // sendCall() returns once the request is out, answerWaiting() tells whether the answer (or
    // the end of the connection) has arrived, receiveCall() waits for it and reads it.
    void sendCall(const simwire::CallRequest& request);
    bool answerWaiting(std::chrono::milliseconds wait);
    simwire::CallResult receiveCall();
    std::string newTid();
    void submitUnit(const simwire::UnitRequest& unit);
    void confirmUnit(const std::string& tid);
    void ping();
    std::string ticket();
    // Says goodbye and closes; harmless on a closed connection.
    void close();

    static constexpr std::chrono::minutes answerTimeout{5};

private:
    explicit GatewayClient(std::unique_ptr<simwire::FrameSocket> socket) : m_socket(std::move(socket)) {}
    // Sends a request and returns the Ok payload; a Failure answer is thrown as RfcFailure.
    std::string request(simwire::MessageType type, const std::string& payload);
    simwire::Frame exchange(simwire::MessageType type, const std::string& payload);
    void send(simwire::MessageType type, const std::string& payload);
    simwire::Frame receiveAnswer();
    [[noreturn]] void broken(const std::exception& e);

    std::unique_ptr<simwire::FrameSocket> m_socket;
    simwire::SystemAttributes m_attributes;
};

} // namespace simrfc
