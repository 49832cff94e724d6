// sapsim's HTTP admin endpoints under /sim/gateway/, as JSON.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace standin {

struct AdminReply {
    int status = 0;
    nlohmann::json body;
};

AdminReply adminPost(const std::string& endpoint, const nlohmann::json& body);
AdminReply adminGet(const std::string& endpoint);

} // namespace standin
