#pragma once

#include "FrameSocket.h"
#include "WireMessages.h"

#include <chrono>
#include <memory>
#include <string>

namespace sapsim {

// One registered server connection. sapsim plays the ABAP side on it: it sends a call or a
// transaction step and waits for the answer. The Registrations list hands it to one caller at
// a time; a broken exchange makes it unusable (the caller then removes it).
class Registration {
public:
    Registration(unsigned id, std::string programId, std::unique_ptr<simwire::FrameSocket> socket);

    unsigned id() const { return m_id; }
    const std::string& programId() const { return m_programId; }
    const std::string& peer() const { return m_peer; }

    // Throws ConnectionLost, WireError, or GatewayTimeout when no answer comes in time.
    simwire::CallResult call(const simwire::ServerCallRequest& request, std::chrono::milliseconds timeout);
    int transactionStep(const simwire::TransactionStepRequest& request, std::chrono::milliseconds timeout);
    // Accepts the registration, telling the program about the system.
    void welcome(const simwire::SystemAttributes& attributes);
    // While idle: false when the partner has gone (or sent something unasked).
    bool alive();
    void abort() { m_socket->abort(); }

private:
    simwire::Frame exchange(simwire::MessageType type, const std::string& payload, std::chrono::milliseconds timeout);

    unsigned m_id;
    std::string m_programId;
    std::unique_ptr<simwire::FrameSocket> m_socket;
    std::string m_peer;
};

class GatewayTimeout : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace sapsim
