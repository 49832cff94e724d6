#pragma once

#include "Connection.h"

#include "GatewayRegistration.h"

#include <memory>

namespace nwrfc {

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

} // namespace nwrfc
