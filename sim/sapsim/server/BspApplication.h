#pragma once

#include "server/HttpMessage.h"

#include <optional>
#include <string>

namespace sapsim {

class UserStore;
class SsoTicket;

// A BSP application for the component's application window, at /sap/bc/bsp/sap/zsim_flow/.
// Every page wants a logon (HTTP Basic, or else the MYSAPSSO2 cookie) and answers 401 without
// one. start.htm redirects (302) to main.htm, which redirects to exit.htm with the query that
// start.htm received, unchanged, plus sap-params: base64 of "user=U&client=C&logon=basic|ticket",
// who the server took the visitor for. A query holding "stay" makes main.htm a page of its own
// that leads nowhere, as an application the user leaves by closing the window.
class BspApplication {
public:
    BspApplication(const UserStore& users, const SsoTicket& tickets) : m_users(users), m_tickets(tickets) {}

    // Whether `path` (decoded, lower case) belongs to the BSP runtime.
    static bool serves(const std::string& path);
    // `query` is the raw text after "?".
    HttpResponse handle(const HttpRequest& request, const std::string& path, const std::string& query) const;

    static constexpr const char* bspPath = "/sap/bc/bsp/";
    static constexpr const char* applicationPath = "/sap/bc/bsp/sap/zsim_flow/";

private:
    struct Visitor {
        std::string client;
        std::string user;
        std::string logon; // "basic" or "ticket"
    };

    std::optional<Visitor> logon(const HttpRequest& request, const std::string& query) const;
    HttpResponse page(const std::string& name, const std::string& query, const Visitor& visitor,
                      const std::string& host) const;

    const UserStore& m_users;
    const SsoTicket& m_tickets;
};

} // namespace sapsim
