#include "server/RequestHandler.h"

#include "gateway/GatewayAdmin.h"
#include "repo/Repository.h"
#include "rfc/ModuleRegistry.h"
#include "rfc/ModuleRunner.h"
#include "rfc/SoapCodec.h"
#include "server/BspApplication.h"
#include "server/HttpText.h"
#include "server/Lifecycle.h"
#include "server/Logger.h"
#include "server/SessionStore.h"
#include "server/SsoTicket.h"

#include <algorithm>
#include <chrono>

namespace sapsim {
namespace {

constexpr const char* defaultClient = "001";
constexpr const char* defaultLanguage = "EN";

HttpResponse text(int status, const std::string& body)
{
    HttpResponse r;
    r.status = status;
    r.headers.emplace_back("Content-Type", "text/plain; charset=utf-8");
    r.body = body;
    return r;
}

HttpResponse soapDocument(int status, std::string body)
{
    HttpResponse r;
    r.status = status;
    r.headers.emplace_back("Content-Type", "text/xml; charset=utf-8");
    r.body = std::move(body);
    return r;
}

bool validClient(const std::string& client)
{
    return client.size() == 3 && std::all_of(client.begin(), client.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool validLanguage(const std::string& language)
{
    return !language.empty() && language.size() <= 2 &&
           std::all_of(language.begin(), language.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string valueOf(const std::map<std::string, std::string>& map, const std::string& key, const std::string& fallback = {})
{
    const auto it = map.find(key);
    return it == map.end() || it->second.empty() ? fallback : it->second;
}

std::string cut(const std::string& document)
{
    return document.size() <= Logger::maxDocumentLog ? document : document.substr(0, Logger::maxDocumentLog) + "...";
}

} // namespace

RequestHandler::RequestHandler(Services services, XmlParser::Limits xmlLimits)
    : m_services(services), m_xmlLimits(xmlLimits)
{
}

HttpResponse RequestHandler::handle(const HttpRequest& request)
{
    const size_t question = request.target.find('?');
    std::string path = HttpText::lower(HttpText::urlDecode(request.target.substr(0, question)));
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::string query = question == std::string::npos ? std::string() : request.target.substr(question + 1);

    HttpResponse response;
    if (m_services.gateway != nullptr && path.starts_with(GatewayAdmin::prefix)) {
        response = m_services.gateway->handle(request, path);
    } else if (path == shutdownPath) {
        if (request.method != "POST") {
            response = text(405, "use POST\n");
            response.headers.emplace_back("Allow", "POST");
        } else {
            response = text(200, "sapsim stopping\n");
            response.close = true;
            response.stopServer = true;
        }
    } else if (path == statusPath) {
        response = text(200, "{\"waitingModules\":" + std::to_string(m_services.lifecycle.waiting()) + "}\n");
        response.headers = {{"Content-Type", "application/json"}};
    } else if (path == soapPath) {
        if (request.method != "POST") {
            response = text(405, "RFC over SOAP expects POST\n");
            response.headers.emplace_back("Allow", "POST");
        } else {
            return soap(request, HttpText::query(query));
        }
    } else if (BspApplication::serves(path)) {
        response = BspApplication(m_services.repository.users(), m_services.tickets).handle(request, path, query);
    } else {
        response = text(404, "no service at " + path + "\n");
    }
    log(request, response, "");
    return response;
}

HttpResponse RequestHandler::soap(const HttpRequest& request, const std::map<std::string, std::string>& query)
{
    const std::string givenClient = valueOf(query, "sap-client");
    const std::string client = givenClient.empty() ? defaultClient : givenClient;
    const std::string language = upper(valueOf(query, "sap-language", defaultLanguage));
    if (!validClient(client) || !validLanguage(language)) {
        HttpResponse r = text(400, "sap-client must be three digits and sap-language one or two letters\n");
        log(request, r, "");
        return r;
    }

    const auto cookies = HttpText::cookies(request.header("cookie"));
    auto who = authenticate(request, cookies, client, !givenClient.empty());
    if (!who) {
        HttpResponse r = text(401, "logon refused\n");
        r.headers.emplace_back("WWW-Authenticate", "Basic realm=\"sapsim\"");
        log(request, r, "logon refused");
        return r;
    }
    who->logon.language = language;

    const std::string mode = valueOf(query, "session_mode");
    Session session = chooseSession(mode, valueOf(cookies, contextCookie), who->logon);
    HttpResponse response;
    {
        std::lock_guard lock(session.context->mutex());
        response = call(request, *who, *session.context);
    }
    if (session.opened)
        response.headers.emplace_back("Set-Cookie", std::string(contextCookie) + "=" + session.id + "; path=/; HttpOnly");
    if (!session.id.empty() && mode == "2") {
        m_services.sessions.close(session.id);
        response.headers.emplace_back("Set-Cookie", std::string(contextCookie) + "=; path=/; Max-Age=0");
    }
    return response;
}

// session_mode=1 continues the session of the cookie or opens one; session_mode=2 continues it
// for its last request. Everything else runs in a context of its own.
RequestHandler::Session RequestHandler::chooseSession(const std::string& mode, const std::string& contextId, const Logon& logon)
{
    Session session;
    if ((mode == "1" || mode == "2") && !contextId.empty()) {
        session.context = m_services.sessions.find(contextId, logon.client, logon.user);
        if (session.context)
            session.id = contextId;
    }
    if (!session.context && mode == "1") {
        std::tie(session.id, session.context) = m_services.sessions.open(logon.client, logon.user);
        session.opened = true;
    }
    if (!session.context)
        session.context = std::make_shared<SessionContext>(logon.client, logon.user);
    return session;
}

std::optional<RequestHandler::Authenticated> RequestHandler::authenticate(
    const HttpRequest& request, const std::map<std::string, std::string>& cookies, const std::string& client,
    bool clientGiven) const
{
    UserStore& users = m_services.repository.users();
    Authenticated who;
    LogonStatus status = LogonStatus::Refused;
    const std::string authorization = request.header("authorization");
    if (!authorization.empty()) {
        const auto credentials = HttpText::basicCredentials(authorization);
        if (!credentials)
            return std::nullopt;
        who.logon = {client, UserStore::normaliseUser(credentials->first), {}};
        status = users.logon(client, credentials->first, credentials->second);
    } else if (const auto it = cookies.find(ticketCookie); it != cookies.end()) {
        const auto holder = m_services.tickets.verify(it->second);
        if (!holder || (clientGiven && holder->client != client))
            return std::nullopt;
        who.logon = {holder->client, holder->user, {}};
        status = users.state(holder->client, holder->user);
    }
    if (status == LogonStatus::Refused)
        return std::nullopt;
    who.passwordExpired = status == LogonStatus::PasswordExpired;
    return who;
}

HttpResponse RequestHandler::call(const HttpRequest& request, const Authenticated& who, SessionContext& session)
{
    const auto started = std::chrono::steady_clock::now();
    std::string module;
    HttpResponse response;
    try {
        const SoapRequest soapRequest = SoapCodec::parse(request.body, m_xmlLimits);
        module = soapRequest.functionName;
        const ModuleRunner runner(m_services.repository, m_services.modules);
        const FunctionDef& def = runner.function(module);
        FunctionCall call(def);
        SoapCodec::readParameters(soapRequest, call);
        CallEnvironment env{m_services.repository, who.logon, session, m_services.lifecycle, m_services.tickets};
        try {
            runner.run(call, env, who.passwordExpired);
            response = soapDocument(200, SoapCodec::response(call));
        } catch (const AbapException& e) {
            response = soapDocument(500, SoapCodec::exceptionFault(def, e));
        } catch (const AbapMessage& e) {
            response = soapDocument(500, SoapCodec::systemFault(SystemFailure(SystemFailure::abapMessage, e.what())));
        }
        response.drop = env.dropConnection;
    } catch (const SystemFailure& e) {
        response = soapDocument(500, SoapCodec::systemFault(e));
    } catch (const std::exception& e) {
        m_services.logger.error("module " + module + ": " + e.what());
        response = soapDocument(500, SoapCodec::systemFault(SystemFailure(SystemFailure::systemFailure, e.what())));
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
    log(request, response, who.logon.client + "/" + who.logon.user + " " + (module.empty() ? "-" : module) + " " + std::to_string(ms) + " ms");
    return response;
}

void RequestHandler::log(const HttpRequest& request, const HttpResponse& response, const std::string& detail) const
{
    Logger& logger = m_services.logger;
    if (!logger.enabled())
        return;
    logger.line(request.method + " " + request.target + " -> " + std::to_string(response.status) + (response.drop ? " (dropped)" : "") +
                (detail.empty() ? "" : " " + detail));
    if (logger.verbose()) {
        logger.line("request body: " + cut(request.body));
        logger.line("response body: " + cut(response.body));
    }
}

} // namespace sapsim
