#pragma once

#include "ConnectionParameters.h"
#include "Handles.h"

#include "GatewayClient.h"
#include "GatewayRegistration.h"

#include <memory>

namespace nwrfc {

// A connection handle: a client logged on at the gateway, or a registered server program. The
// object lives from RfcOpenConnection or RfcRegisterServer until RfcCloseConnection; when the
// partner ends the connection the handle stays valid (RfcIsConnectionHandleValid says no) and
// every further use reports the closed connection.
class Connection : public Handled {
public:
    Connection(const ConnectionParameters& parameters, const simwire::SystemAttributes& attributes, bool server);

    bool server() const { return m_server; }
    virtual bool open() const = 0;
    const simwire::SystemAttributes& attributes() const { return m_attributes; }
    RFC_ATTRIBUTES rfcAttributes() const;
    unsigned traceLevel() const { return m_traceLevel; }
    void setTraceLevel(unsigned level) { m_traceLevel = level; }
    void trace(unsigned level, const std::string& text) const;
    // "connection <id>": never a parameter value.
    std::string label() const;

private:
    simwire::SystemAttributes m_attributes;
    std::string m_dest, m_host, m_sysNumber, m_programName;
    bool m_server;
    unsigned m_traceLevel = 0;
};

class ClientConnection : public Connection {
public:
    ClientConnection(const ConnectionParameters& parameters, std::unique_ptr<simrfc::GatewayClient> gateway);
    bool open() const override { return m_gateway->isOpen(); }
    // The gateway client; RFC_INVALID_HANDLE once the connection was closed.
    simrfc::GatewayClient& gateway();

private:
    std::unique_ptr<simrfc::GatewayClient> m_gateway;
};

class ServerConnection : public Connection {
public:
    ServerConnection(const ConnectionParameters& parameters, std::unique_ptr<simrfc::GatewayRegistration> registration);
    bool open() const override { return m_registration->isOpen(); }
    simrfc::GatewayRegistration& registration() { return *m_registration; }

    // Set while a request is dispatched, for RfcGetServerContext.
    RFC_SERVER_CONTEXT context{};
    bool dispatching = false;

private:
    std::unique_ptr<simrfc::GatewayRegistration> m_registration;
};

// Every open connection handle, owned here until RfcCloseConnection.
class ConnectionStore {
public:
    static Connection& add(std::unique_ptr<Connection> connection);
    static void close(Connection& connection);
};

// Turns the client library's failures into the API's.
[[noreturn]] void rethrow(const simrfc::RfcFailure& failure);

} // namespace nwrfc
