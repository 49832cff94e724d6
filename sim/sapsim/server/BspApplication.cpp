#include "server/BspApplication.h"

#include "repo/UserStore.h"
#include "server/HttpText.h"
#include "server/SsoTicket.h"
#include "text/Base64.h"

namespace sapsim {
namespace {

constexpr const char* defaultClient = "001";

HttpResponse html(int status, const std::string& title, const std::string& text)
{
    HttpResponse r;
    r.status = status;
    r.headers.emplace_back("Content-Type", "text/html; charset=utf-8");
    r.body = "<html><head><title>" + title + "</title></head><body><h1>" + title + "</h1><p>" + text +
             "</p></body></html>\n";
    return r;
}

HttpResponse redirect(const std::string& location)
{
    HttpResponse r = html(302, "Moved", "The application continues elsewhere.");
    r.headers.emplace_back("Location", location);
    return r;
}

bool hasParameter(const std::map<std::string, std::string>& query, const std::string& name)
{
    return query.find(name) != query.end();
}

} // namespace

bool BspApplication::serves(const std::string& path)
{
    return path.rfind(bspPath, 0) == 0;
}

HttpResponse BspApplication::handle(const HttpRequest& request, const std::string& path, const std::string& query) const
{
    if (path.rfind(applicationPath, 0) != 0)
        return html(404, "Not found", "No BSP application at " + path + ".");
    if (request.method != "GET") {
        HttpResponse r = html(405, "Method not allowed", "BSP pages are read with GET.");
        r.headers.emplace_back("Allow", "GET");
        return r;
    }
    const auto visitor = logon(request, query);
    if (!visitor) {
        HttpResponse r = html(401, "Logon refused", "Log on with a user and password or a logon ticket.");
        r.headers.emplace_back("WWW-Authenticate", "Basic realm=\"sapsim\"");
        return r;
    }
    return page(path.substr(std::string(applicationPath).size()), query, *visitor, request.header("host"));
}

// HTTP Basic in the client of the URL, or a ticket of this server run (of that client when
// the URL names one). Only users in good standing get in.
std::optional<BspApplication::Visitor> BspApplication::logon(const HttpRequest& request, const std::string& query) const
{
    const auto parameters = HttpText::query(query);
    const auto given = parameters.find("sap-client");
    const std::string client = given == parameters.end() || given->second.empty() ? defaultClient : given->second;
    const std::string authorization = request.header("authorization");
    if (!authorization.empty()) {
        const auto credentials = HttpText::basicCredentials(authorization);
        if (!credentials || m_users.logon(client, credentials->first, credentials->second) != LogonStatus::Valid)
            return std::nullopt;
        return Visitor{client, UserStore::normaliseUser(credentials->first), "basic"};
    }
    const auto cookies = HttpText::cookies(request.header("cookie"));
    const auto cookie = cookies.find("MYSAPSSO2");
    if (cookie == cookies.end())
        return std::nullopt;
    const auto holder = m_tickets.verify(cookie->second);
    if (!holder || (given != parameters.end() && holder->client != client) ||
        m_users.state(holder->client, holder->user) != LogonStatus::Valid)
        return std::nullopt;
    return Visitor{holder->client, holder->user, "ticket"};
}

HttpResponse BspApplication::page(const std::string& name, const std::string& query, const Visitor& visitor,
                                  const std::string& host) const
{
    // Absolute locations, as HTTP/1.0 clients want them.
    const std::string base = (host.empty() ? std::string() : "http://" + host) + applicationPath;
    const std::string rest = query.empty() ? std::string() : "?" + query;
    if (name == "start.htm")
        return redirect(base + "main.htm" + rest);
    if (name == "main.htm") {
        if (hasParameter(HttpText::query(query), "stay"))
            return html(200, "zsim_flow", "Running for " + visitor.user + ". Close the window to leave.");
        const std::string who = "user=" + visitor.user + "&client=" + visitor.client + "&logon=" + visitor.logon;
        return redirect(base + "exit.htm?" + (query.empty() ? "" : query + "&") + "sap-params=" + Base64::encode(who));
    }
    if (name == "exit.htm")
        return html(200, "zsim_flow", "Done.");
    return html(404, "Not found", "The application has no page " + name + ".");
}

} // namespace sapsim
