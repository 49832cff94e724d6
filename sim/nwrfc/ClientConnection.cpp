#include "ClientConnection.h"

#include "ApiFailure.h"

namespace nwrfc {

ClientConnection::ClientConnection(const ConnectionParameters& parameters, std::unique_ptr<simrfc::GatewayClient> gateway)
    : Connection(parameters, gateway->attributes(), false), m_gateway(std::move(gateway))
{
}

simrfc::GatewayClient& ClientConnection::gateway()
{
    if (!m_gateway->isOpen())
        invalidHandle("the connection was closed");
    return *m_gateway;
}

} // namespace nwrfc
