#pragma once

#include <string>
#include <utility>
#include <vector>

namespace sapsim {

class Repository;
class SessionContext;
class Lifecycle;
class SsoTicket;

struct Logon {
    std::string client;
    std::string user;
    std::string language;
};

// What a function module sees of the server besides its parameters.
struct CallEnvironment {
    Repository& repository;
    Logon logon;
    SessionContext& session;
    Lifecycle& lifecycle;
    const SsoTicket& tickets;
    // Set by a module that wants the connection closed without an answer.
    bool dropConnection = false;
    // The parameters the caller's RFC library received at logon, secrets masked; null for SOAP.
    const std::vector<std::pair<std::string, std::string>>* logonParameters = nullptr;
};

} // namespace sapsim
