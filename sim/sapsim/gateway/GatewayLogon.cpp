#include "gateway/GatewayLogon.h"

#include "gateway/RfcCodes.h"
#include "repo/UserStore.h"
#include "server/HttpText.h"
#include "server/SsoTicket.h"
#include "text/Utf8.h"

#include <algorithm>

namespace sapsim {
namespace {

simwire::ErrorRecord refusal(const std::string& message)
{
    simwire::ErrorRecord e;
    e.code = rfc::logonFailure;
    e.group = rfc::logonFailureGroup;
    e.key = "RFC_LOGON_FAILURE";
    e.message = message;
    e.closes = true;
    return e;
}

bool digits(const std::string& s, size_t size)
{
    return s.size() == size && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string hidden(const std::string& value, const char* verdict)
{
    return "<hidden " + std::to_string(Utf8::length(value)) + " chars, " + verdict + ">";
}

} // namespace

GatewayLogon::Outcome GatewayLogon::check(const simwire::ClientHello& hello, const UserStore& users, const SsoTicket& tickets)
{
    Outcome out;
    out.logon.client = hello.client;
    out.logon.user = UserStore::normaliseUser(hello.user);
    out.logon.language = hello.language.empty() ? "EN" : UserStore::normaliseUser(hello.language);
    if (!digits(hello.client, 3) || !users.hasClient(hello.client)) {
        out.error = refusal("Client " + hello.client + " is not available in this system");
        return out;
    }
    LogonStatus status = LogonStatus::Refused;
    if (hello.password.empty() && !hello.ticket.empty()) {
        const auto holder = tickets.verify(hello.ticket);
        if (!holder || holder->client != hello.client) {
            out.error = refusal("The logon ticket is not valid for client " + hello.client);
            return out;
        }
        out.logon.user = holder->user;
        status = users.state(hello.client, holder->user);
    } else {
        status = users.logon(hello.client, hello.user, hello.password);
    }
    if (status == LogonStatus::Refused) {
        out.error = refusal(users.locked(hello.client, out.logon.user) ? "User is locked. Please notify the person responsible"
                                                                        : "Name or password is incorrect (repeat logon)");
        return out;
    }
    out.accepted = true;
    out.passwordExpired = status == LogonStatus::PasswordExpired;
    return out;
}

simwire::ParameterList GatewayLogon::mask(const simwire::ParameterList& received, const Logon& logon,
                                          const UserStore& users, const SsoTicket& tickets)
{
    simwire::ParameterList out;
    for (const auto& [name, value] : received) {
        const std::string lower = HttpText::lower(name);
        if (lower == "passwd" || lower == "password")
            out.emplace_back(name, hidden(value, users.passwordMatches(logon.client, logon.user, value) ? "correct" : "wrong"));
        else if (lower == "mysapsso2")
            out.emplace_back(name, hidden(value, tickets.verify(value) ? "valid" : "invalid"));
        else if (lower == "x509cert")
            out.emplace_back(name, hidden(value, "unchecked"));
        else
            out.emplace_back(name, value);
    }
    return out;
}

} // namespace sapsim
