// The BSP application of sapsim, as the component's application window meets it: logon,
// the redirects from start.htm to the exit page, and what the exit page's URL carries.
#include "SimClient.h"

#include <boost/beast/core/detail/base64.hpp>

#include <gtest/gtest.h>

using namespace simtest;

namespace {

const std::string app = "/sap/bc/bsp/sap/zsim_flow/";

std::string base64(const std::string& text)
{
    std::string out(boost::beast::detail::base64::encoded_size(text.size()), '\0');
    out.resize(boost::beast::detail::base64::encode(out.data(), text.data(), text.size()));
    return out;
}

// The location of a redirect, without the scheme and host.
std::string target(const HttpReply& reply)
{
    const std::string location = reply.header("location");
    const size_t path = location.find(app);
    return path == std::string::npos ? location : location.substr(path);
}

HttpReply get(SimClient& client, const std::string& page, const std::map<std::string, std::string>& headers = {},
              bool withLogon = true)
{
    return client.request("GET", app + page, "", headers, withLogon);
}

} // namespace

TEST(BspPages, RedirectThroughTheFlowToAnExitPageThatEchoesTheRequest)
{
    SimClient client;
    const std::string query = "sap-client=001&sap-language=EN&order=4711&empty=";
    const HttpReply start = get(client, "start.htm?" + query);
    ASSERT_EQ(302, start.status) << start.body;
    EXPECT_EQ(app + "main.htm?" + query, target(start));
    EXPECT_EQ("http://127.0.0.1" + app + "main.htm?" + query, start.header("location")) << "absolute, on the host asked for";

    const HttpReply main = get(client, "main.htm?" + query);
    ASSERT_EQ(302, main.status) << main.body;
    EXPECT_EQ(app + "exit.htm?" + query + "&sap-params=" + base64("user=DEMO&client=001&logon=basic"), target(main));

    const HttpReply exit = client.request("GET", target(main), "");
    EXPECT_EQ(200, exit.status);
    EXPECT_EQ(0u, exit.header("content-type").rfind("text/html", 0));

    // Without a query the exit page carries sap-params alone.
    EXPECT_EQ(app + "exit.htm?sap-params=" + base64("user=DEMO&client=001&logon=basic"), target(get(client, "main.htm")));
    // "stay" keeps the application on a page of its own.
    EXPECT_EQ(200, get(client, "main.htm?stay=X").status);
}

TEST(BspPages, EveryPageWantsALogon)
{
    SimClient demo;
    const std::string ticket = demo.call(RfcCall("Z_SIM_SSO2_TICKET")).text("TICKET");
    ASSERT_GT(ticket.size(), 20u);

    SimClient anonymous({""});
    for (const char* page : {"start.htm", "main.htm", "exit.htm"}) {
        const HttpReply r = get(anonymous, page);
        EXPECT_EQ(401, r.status) << page;
        EXPECT_EQ("Basic realm=\"sapsim\"", r.header("www-authenticate")) << page;
    }
    SimClient wrong({"DEMO", "wrong"});
    EXPECT_EQ(401, get(wrong, "start.htm").status);
    SimClient locked({"LOCKED", "locked12"});
    EXPECT_EQ(401, get(locked, "start.htm").status);

    const std::map<std::string, std::string> cookie{{"Cookie", "MYSAPSSO2=" + ticket}};
    const HttpReply byTicket = get(anonymous, "main.htm?sap-client=001", cookie, false);
    ASSERT_EQ(302, byTicket.status) << byTicket.body;
    EXPECT_NE(std::string::npos, target(byTicket).find("&sap-params=" + base64("user=DEMO&client=001&logon=ticket")));
    EXPECT_EQ(401, get(anonymous, "main.htm?sap-client=000", cookie, false).status) << "a ticket of another client";
    EXPECT_EQ(401, get(anonymous, "main.htm", {{"Cookie", "MYSAPSSO2=" + ticket + "x"}}, false).status);
}

TEST(BspPages, OtherPagesAndMethods)
{
    SimClient client;
    EXPECT_EQ(404, get(client, "other.htm").status);
    EXPECT_EQ(404, client.request("GET", "/sap/bc/bsp/sap/zother/start.htm", "").status);
    const HttpReply post = client.request("POST", app + "start.htm", "x");
    EXPECT_EQ(405, post.status);
    EXPECT_EQ("GET", post.header("allow"));
}
