#pragma once

#include "gateway/GatewayServices.h"
#include "server/HttpMessage.h"

#include <nlohmann/json_fwd.hpp>

#include <string>

namespace sapsim {

// The HTTP endpoints under /sim/gateway/ through which tests play the ABAP side towards
// registered server programs (JSON in, JSON out; see sim/README.md):
//   POST call          a synchronous call of a function on a program ID
//   POST transaction   the same as a transactional unit: check, call, commit or rollback, confirm
//   GET  registrations the registered connections
//   POST drop          closes every connection of a program ID
//   GET  logons        the last logons and registrations with the parameters received
class GatewayAdmin {
public:
    explicit GatewayAdmin(const GatewayServices& services) : m_services(services) {}

    static constexpr const char* prefix = "/sim/gateway/";

    // `path` is the request path in lower case, without the query.
    HttpResponse handle(const HttpRequest& request, const std::string& path);

private:
    HttpResponse call(const nlohmann::json& request);
    HttpResponse transaction(const nlohmann::json& request);
    HttpResponse registrations();
    HttpResponse drop(const nlohmann::json& request);
    HttpResponse logons();

    const GatewayServices& m_services;
};

} // namespace sapsim
