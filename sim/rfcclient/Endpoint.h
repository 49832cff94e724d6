#pragma once

#include <string>

namespace simrfc {

// Where the gateway listens. The port comes from a gateway service, which is either a port
// number or "sapgwNN" (port 33NN), or else from a system number NN (port 33NN as well).
struct Endpoint {
    std::string host;
    unsigned short port = 0;

    // Throws RfcFailure (RFC_INVALID_PARAMETER) when neither gives a port or the host is empty.
    static Endpoint from(const std::string& host, const std::string& systemNumber, const std::string& service);
};

// A new 24-character transaction ID made on this side (upper-case hexadecimal digits).
std::string localTid();

} // namespace simrfc
