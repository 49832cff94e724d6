#pragma once
// sapsim's HTTP admin endpoints (/sim/gateway/...), as the tests of registered servers use them
// to play the ABAP side: a call, a transactional unit, a dropped connection.
#include <nlohmann/json.hpp>

#include <string>

namespace test {

// The ports of the sapsim fixture (from the files its environment names): HTTP, and the gateway.
long SimPort();
long GatewayPort();

struct AdminReply {
    int status = 0;
    nlohmann::json body;
};

// One request to sapsim's HTTP port; a body that is not JSON reads as null.
AdminReply AdminRequest(long httpPort, const std::string& method, const std::string& endpoint,
                        const nlohmann::json& body = nullptr);

// The same on a helper thread, while this thread (a single-threaded apartment) pumps: the
// server's events reach their sinks here in the meantime.
AdminReply AdminRequestPumping(long httpPort, const std::string& method, const std::string& endpoint,
                               const nlohmann::json& body = nullptr);

} // namespace test
