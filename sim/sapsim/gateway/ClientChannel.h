#pragma once

#include "gateway/GatewayLogon.h"
#include "gateway/GatewayServices.h"
#include "server/SessionStore.h"

#include "FrameSocket.h"

#include <chrono>
#include <memory>

namespace sapsim {

// A logged-on client connection: one user session (Z_SIM_COUNTER counts per connection) that
// answers descriptions, calls, transactional units, pings and ticket requests, one at a time,
// until the client says goodbye, disconnects, breaks the protocol or stays idle too long.
class ClientChannel {
public:
    ClientChannel(simwire::FrameSocket& socket, const GatewayServices& services, GatewayLogon::Outcome logon);

    void serve();

    static constexpr std::chrono::minutes idleLimit{30};

private:
    // False when the connection has to end after the request.
    bool answer(const simwire::Frame& request);
    simwire::CallResult runCall(const simwire::CallRequest& request);
    void describeFunction(const std::string& name);
    void describeType(const std::string& name);
    void submitUnit(const simwire::UnitRequest& unit);
    void log(const std::string& module, const simwire::ErrorRecord& outcome, std::chrono::steady_clock::time_point started) const;
    void sendOk(const std::string& payload);
    void sendFailure(const simwire::ErrorRecord& error, const simwire::NamedValues& tables = {});

    simwire::FrameSocket& m_socket;
    const GatewayServices& m_services;
    GatewayLogon::Outcome m_logon;
    SessionContext m_session;
    bool m_drop = false;
};

} // namespace sapsim
