#include "ServerConnection.h"

namespace nwrfc {

ServerConnection::ServerConnection(const ConnectionParameters& parameters, std::unique_ptr<simrfc::GatewayRegistration> registration)
    : Connection(parameters, registration->attributes(), true), m_registration(std::move(registration))
{
}

} // namespace nwrfc
