#pragma once

#include "Endpoint.h"
#include "RfcFailure.h"

#include "FrameSocket.h"
#include "WireMessages.h"

#include <chrono>
#include <memory>
#include <optional>

namespace simrfc {

// What the gateway asks of a registered server: run a function, or one step of a transaction.
struct IncomingRequest {
    enum class Kind { Call, TransactionStep };
    Kind kind = Kind::Call;
    simwire::ServerCallRequest call;
    simwire::TransactionStepRequest step;
};

// A server program registered at sapsim's gateway under a program ID. The gateway sends one
// request at a time and waits for its answer; the server picks requests up with next() and
// answers each with answerCall() or answerStep(). A lost gateway throws RfcFailure
// (RFC_COMMUNICATION_FAILURE) once; the registration is closed from then on.
class GatewayRegistration {
public:
    static std::unique_ptr<GatewayRegistration> registerAt(const Endpoint& endpoint, const simwire::ServerHello& hello,
                                                           std::chrono::milliseconds timeout = std::chrono::seconds(10));
    ~GatewayRegistration() = default;

    const simwire::SystemAttributes& attributes() const { return m_attributes; }
    bool isOpen() const { return m_socket != nullptr; }

    // The next request, or nothing when none came within `timeout`.
    std::optional<IncomingRequest> next(std::chrono::milliseconds timeout);
    // Code 0 answers with the outputs; an error record with code RFC_ABAP_EXCEPTION carries the tables.
    void answerCall(const simwire::CallResult& result);
    void answerStep(int returnCode);
    void close() { m_socket.reset(); }

private:
    explicit GatewayRegistration(std::unique_ptr<simwire::FrameSocket> socket) : m_socket(std::move(socket)) {}
    void send(simwire::MessageType type, const std::string& payload);
    [[noreturn]] void lost(const std::exception& e);

    std::unique_ptr<simwire::FrameSocket> m_socket;
    simwire::SystemAttributes m_attributes;
};

} // namespace simrfc
