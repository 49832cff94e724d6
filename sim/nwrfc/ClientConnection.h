#pragma once

#include "Connection.h"

#include "GatewayClient.h"

#include <memory>

namespace nwrfc {

class ClientConnection : public Connection {
public:
    ClientConnection(const ConnectionParameters& parameters, std::unique_ptr<simrfc::GatewayClient> gateway);
    bool open() const override { return m_gateway->isOpen(); }
    // The gateway client; RFC_INVALID_HANDLE once the connection was closed.
    simrfc::GatewayClient& gateway();

private:
    std::unique_ptr<simrfc::GatewayClient> m_gateway;
};

} // namespace nwrfc
