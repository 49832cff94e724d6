#pragma once

#include "rfc/CallEnvironment.h"
#include "server/HttpMessage.h"
#include "xml/XmlParser.h"

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace sapsim {

class Repository;
class ModuleRegistry;
class SessionStore;
class SessionContext;
class Lifecycle;
class SsoTicket;
class Logger;
class GatewayAdmin;

// Answers one HTTP request: RFC over SOAP at /sap/bc/soap/rfc (logon, server sessions, the
// call of the module), the shutdown request at /sim/shutdown and the status at /sim/status. Safe to call from many
// connection threads at once.
class RequestHandler {
public:
    struct Services {
        Repository& repository;
        const ModuleRegistry& modules;
        SessionStore& sessions;
        Lifecycle& lifecycle;
        const SsoTicket& tickets;
        Logger& logger;
        GatewayAdmin* gateway; // the /sim/gateway/ endpoints; null without a gateway
    };

    RequestHandler(Services services, XmlParser::Limits xmlLimits);

    HttpResponse handle(const HttpRequest& request);

    static constexpr const char* soapPath = "/sap/bc/soap/rfc";
    static constexpr const char* shutdownPath = "/sim/shutdown";
    static constexpr const char* statusPath = "/sim/status";
    static constexpr const char* contextCookie = "sap-contextid";
    static constexpr const char* ticketCookie = "MYSAPSSO2";

private:
    struct Authenticated {
        Logon logon;
        bool passwordExpired = false;
    };

    struct Session {
        std::shared_ptr<SessionContext> context;
        std::string id; // empty for a context of one request
        bool opened = false;
    };

    HttpResponse soap(const HttpRequest& request, const std::map<std::string, std::string>& query);
    Session chooseSession(const std::string& mode, const std::string& contextId, const Logon& logon);
    std::optional<Authenticated> authenticate(const HttpRequest& request, const std::map<std::string, std::string>& cookies,
                                              const std::string& client, bool clientGiven) const;
    HttpResponse call(const HttpRequest& request, const Authenticated& who, SessionContext& session);
    void log(const HttpRequest& request, const HttpResponse& response, const std::string& detail) const;

    Services m_services;
    XmlParser::Limits m_xmlLimits;
};

} // namespace sapsim
