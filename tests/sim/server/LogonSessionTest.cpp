// Logon by HTTP Basic and by ticket, refused logons, the expired-password restriction, and
// server sessions kept with session_mode.
#include "SimClient.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace {

int pingStatus(Logon logon)
{
    SimClient client(std::move(logon));
    return client.call(RfcCall("RFC_PING")).status();
}

std::string count(SimClient& client, const std::string& query, const std::map<std::string, std::string>& headers = {})
{
    return client.call(RfcCall("Z_SIM_COUNTER"), query, headers).text("COUNT");
}

std::string cookieValue(const std::string& setCookie)
{
    const size_t eq = setCookie.find('=');
    return setCookie.substr(eq + 1, setCookie.find(';') - eq - 1);
}

} // namespace

TEST(Logon, RefusedLogonsAnswer401WithAChallenge)
{
    SimClient anonymous({""});
    const HttpReply r = anonymous.request("POST", anonymous.soapTarget(), RfcCall("RFC_PING").envelope());
    EXPECT_EQ(401, r.status);
    EXPECT_EQ("Basic realm=\"sapsim\"", r.header("www-authenticate"));

    EXPECT_EQ(401, pingStatus({"DEMO", "wrong"}));
    EXPECT_EQ(401, pingStatus({"DEMO", "DEMO1234"})) << "passwords are case-sensitive";
    EXPECT_EQ(401, pingStatus({"NOBODY", "demo1234"}));
    EXPECT_EQ(401, pingStatus({"LOCKED", "locked12"}));
    EXPECT_EQ(401, pingStatus({"DEMO", "demo1234", "000"})) << "users belong to one client";
    EXPECT_EQ(401, pingStatus({"DEMO", "demo1234", "002"}));
    EXPECT_EQ(200, pingStatus({"demo", "demo1234"})) << "user names are not case-sensitive";
    EXPECT_EQ(400, SimClient().request("POST", "/sap/bc/soap/rfc?sap-client=1", RfcCall("RFC_PING").envelope()).status);
    EXPECT_EQ(200, SimClient().request("POST", "/sap/bc/soap/rfc", RfcCall("RFC_PING").envelope()).status)
        << "client 001 and language EN when the URL names none";
}

TEST(Logon, ExpiredPasswordAllowsOnlyWhatItTakesToChangeIt)
{
    SimClient expired({"EXPIRED", "expired1"});
    EXPECT_EQ(200, expired.call(RfcCall("RFC_PING")).status());
    EXPECT_EQ(200, expired.call(RfcCall("RFC_GET_FUNCTION_INTERFACE").param("FUNCNAME", "SUSR_USER_CHANGE_PASSWORD_RFC")).status());
    const SoapReply r = expired.call(RfcCall("STFC_CONNECTION"));
    EXPECT_EQ(500, r.status());
    EXPECT_EQ("PASSWORD_EXPIRED", r.errorType());
}

TEST(Logon, TicketFromTheServerLogsOnWithoutPassword)
{
    SimClient demo;
    const std::string ticket = demo.call(RfcCall("Z_SIM_SSO2_TICKET")).text("TICKET");
    ASSERT_GT(ticket.size(), 20u);

    SimClient bearer({""});
    const SoapReply r = bearer.call(RfcCall("RFC_GET_ATTRIBUTES"), "", {{"Cookie", "other=1; MYSAPSSO2=" + ticket}});
    ASSERT_EQ(200, r.status()) << r.document();
    EXPECT_EQ("DEMO", r.text("USER"));

    std::string forged = ticket;
    forged[forged.size() / 2] = forged[forged.size() / 2] == 'A' ? 'B' : 'A';
    EXPECT_EQ(401, bearer.call(RfcCall("RFC_PING"), "", {{"Cookie", "MYSAPSSO2=" + forged}}).status());
    SimClient otherClient({"", "", "000"});
    EXPECT_EQ(401, otherClient.call(RfcCall("RFC_PING"), "", {{"Cookie", "MYSAPSSO2=" + ticket}}).status())
        << "a ticket is valid in its own client only";
}

TEST(Sessions, SessionModeKeepsStateUntilEnded)
{
    SimClient client;
    EXPECT_EQ("1", count(client, ""));
    EXPECT_EQ("1", count(client, "")) << "without session_mode every call starts afresh";

    const HttpReply opened = client.request("POST", client.soapTarget("&session_mode=1"), RfcCall("Z_SIM_COUNTER").envelope());
    ASSERT_EQ(200, opened.status);
    const std::string context = cookieValue(opened.header("set-cookie"));
    ASSERT_FALSE(context.empty()) << opened.header("set-cookie");
    const std::map<std::string, std::string> cookie = {{"Cookie", "sap-contextid=" + context}};
    EXPECT_EQ("2", count(client, "&session_mode=1", cookie));
    EXPECT_EQ("3", count(client, "&session_mode=1", cookie));
    EXPECT_EQ("1", count(client, "", cookie)) << "stateless calls do not touch the session";

    SimClient other({"RFCUSER", "rfcuser1"});
    EXPECT_EQ("1", count(other, "&session_mode=1", cookie)) << "a session belongs to its user";

    const HttpReply ended = client.request("POST", client.soapTarget("&session_mode=2"), RfcCall("Z_SIM_COUNTER").envelope(), cookie);
    EXPECT_EQ("4", SoapReply(ended.status, ended.body).text("COUNT"));
    EXPECT_NE(std::string::npos, ended.header("set-cookie").find("Max-Age=0")) << ended.header("set-cookie");
    EXPECT_EQ("1", count(client, "&session_mode=1", cookie)) << "the ended session is gone";
}
