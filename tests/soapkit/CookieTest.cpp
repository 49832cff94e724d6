// Cookies: those the client adds are sent to their domain and path; those the server sets are
// kept and sent back, so that a server session lasts across requests.
#include "SoapKitTest.h"
#include "TestServer.h"
#include "soapkit/CookieStore.h"

#include <atomic>

using namespace test;

namespace {

com::ptr<ICookieJar> Jar(IHttpTransport* transport)
{
    com::variant value;
    EXPECT_EQ(transport->GetNamedProperty(com::bstr(L"cookies").get(), value.put()), S_OK);
    EXPECT_EQ(value.vt(), VT_DISPATCH);
    if (value.vt() != VT_DISPATCH)
        return nullptr;
    return com::share(V_DISPATCH(value.addr())).try_query<ICookieJar>();
}

void RoundTrip(IHttpTransport* transport, const std::wstring& url)
{
    ASSERT_EQ(transport->PostRequest(com::bstr(url).get(), com::bstr(L"<x/>").get()), S_OK);
    BSTR charset = SysAllocString(L"utf-8");
    com::variant body;
    EXPECT_EQ(transport->FetchResponse(&charset, body.put()), S_OK);
    SysFreeString(charset);
}

HttpReply Plain(const HttpRequestSeen&) { return HttpReply::xml("<ok/>"); }

soapkit::Cookie Named(std::string name, std::string domain, std::string path, bool host_only = false)
{
    soapkit::Cookie c;
    c.name = std::move(name);
    c.value = "v";
    c.domain = std::move(domain);
    c.path = std::move(path);
    c.host_only = host_only;
    return c;
}

} // namespace

TEST(Cookies, JarIsTheSameObjectEveryTime)
{
    auto transport = NewTransport();
    auto first = Jar(transport.get()), second = Jar(transport.get());
    ASSERT_TRUE(first);
    EXPECT_EQ(first.try_query<IUnknown>(), second.try_query<IUnknown>());
}

TEST(Cookies, AddedCookieIsSentToItsDomainAndPath)
{
    TestServer server(Plain);
    auto transport = NewTransport();
    auto jar = Jar(transport.get());
    ASSERT_EQ(jar->AddCookie(com::bstr(L"MYSAPSSO2").get(), com::bstr(L"AjQxMDMBABhE+/z=").get(), com::bstr(L"/").get(),
                             com::bstr(L"127.0.0.1").get()),
              S_OK);
    jar->AddCookie(com::bstr(L"OTHERHOST").get(), com::bstr(L"x").get(), com::bstr(L"/").get(), com::bstr(L"sap.example.org").get());
    jar->AddCookie(com::bstr(L"OTHERPATH").get(), com::bstr(L"y").get(), com::bstr(L"/sapx").get(), com::bstr(L"127.0.0.1").get());
    jar->AddCookie(com::bstr(L"DEEPER").get(), com::bstr(L"z").get(), com::bstr(L"/sap/bc").get(), com::bstr(L"127.0.0.1").get());
    RoundTrip(transport.get(), server.url());

    EXPECT_EQ(server.requests().at(0).header("cookie"), "DEEPER=z; MYSAPSSO2=AjQxMDMBABhE+/z=");
    com::bstr header;
    ASSERT_EQ(jar->CookieHeader(com::bstr(L"http://sap.example.org/sapx").get(), header.put()), S_OK);
    EXPECT_EQ(header.str(), L"OTHERHOST=x");
    long count = 0;
    jar->Count(&count);
    EXPECT_EQ(count, 4);
}

TEST(Cookies, ReplacingAndRemovingCookies)
{
    auto transport = NewTransport();
    auto jar = Jar(transport.get());
    jar->AddCookie(com::bstr(L"A").get(), com::bstr(L"1").get(), com::bstr(L"/").get(), com::bstr(L"host").get());
    jar->AddCookie(com::bstr(L"A").get(), com::bstr(L"2").get(), com::bstr(L"/").get(), com::bstr(L"HOST").get());
    com::bstr header;
    jar->CookieHeader(com::bstr(L"http://host/").get(), header.put());
    EXPECT_EQ(header.str(), L"A=2");
    EXPECT_EQ(jar->RemoveAll(), S_OK);
    jar->CookieHeader(com::bstr(L"http://host/").get(), header.put());
    EXPECT_EQ(header.str(), L"");
    EXPECT_EQ(jar->AddCookie(com::bstr(L"").get(), com::bstr(L"x").get(), nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(jar->AddCookie(com::bstr(L"B").get(), com::bstr(L"x\r\nHost: evil").get(), nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(jar->AddCookie(com::bstr(L"B").get(), com::bstr(L"x").get(), com::bstr(L"relative").get(), nullptr),
              E_INVALIDARG);
}

TEST(Cookies, ServerSessionCookieIsKeptAndEndsWhenTheServerExpiresIt)
{
    std::atomic<int> n{0};
    TestServer server([&](const HttpRequestSeen&) {
        HttpReply reply = HttpReply::xml("<ok/>");
        if (++n == 1)
            reply.headers.emplace_back("Set-Cookie", "SAP_SESSIONID_XYZ_000=s3ss10n%3d; path=/; HttpOnly");
        if (n == 1)
            reply.headers.emplace_back("Set-Cookie", "sap-usercontext=sap-client=000; path=/sap");
        if (n == 3)
            reply.headers.emplace_back("Set-Cookie", "SAP_SESSIONID_XYZ_000=; Max-Age=0; path=/");
        return reply;
    });
    auto transport = NewTransport();
    for (int i = 0; i < 4; ++i)
        RoundTrip(transport.get(), server.url(L"/sap/bc/soap/rfc?session_mode=1"));
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_FALSE(requests[0].has_header("cookie"));
    EXPECT_EQ(requests[1].header("cookie"), "sap-usercontext=sap-client=000; SAP_SESSIONID_XYZ_000=s3ss10n%3d");
    EXPECT_EQ(requests[2].header("cookie"), requests[1].header("cookie"));
    EXPECT_EQ(requests[3].header("cookie"), "sap-usercontext=sap-client=000");
}

TEST(Cookies, ServerCookieForAnotherDomainIsIgnored)
{
    TestServer server([](const HttpRequestSeen&) {
        HttpReply reply = HttpReply::xml("<ok/>");
        reply.headers.emplace_back("Set-Cookie", "FOREIGN=1; Domain=example.org; path=/");
        return reply;
    });
    auto transport = NewTransport();
    RoundTrip(transport.get(), server.url());
    long count = -1;
    Jar(transport.get())->Count(&count);
    EXPECT_EQ(count, 0);
}

TEST(CookieRules, DomainsMatchTheirSubdomainsUnlessHostOnly)
{
    EXPECT_TRUE(soapkit::domain_matches(Named("a", "example.org", "/"), "sap.example.org"));
    EXPECT_TRUE(soapkit::domain_matches(Named("a", "example.org", "/"), "example.org"));
    EXPECT_FALSE(soapkit::domain_matches(Named("a", "example.org", "/"), "badexample.org"));
    EXPECT_FALSE(soapkit::domain_matches(Named("a", "example.org", "/", true), "sap.example.org"));
    EXPECT_TRUE(soapkit::domain_matches(Named("a", "", "/"), "anything")) << "no domain: every host";
}

TEST(CookieRules, PathsMatchAtSegmentBoundaries)
{
    EXPECT_TRUE(soapkit::path_matches("/", "/sap/bc"));
    EXPECT_TRUE(soapkit::path_matches("/sap", "/sap"));
    EXPECT_TRUE(soapkit::path_matches("/sap", "/sap/bc"));
    EXPECT_TRUE(soapkit::path_matches("/sap/", "/sap/bc"));
    EXPECT_FALSE(soapkit::path_matches("/sap", "/sapx"));
    EXPECT_FALSE(soapkit::path_matches("/sap/bc", "/sap"));
    EXPECT_EQ(soapkit::default_cookie_path("/sap/bc/soap/rfc"), "/sap/bc/soap");
    EXPECT_EQ(soapkit::default_cookie_path("/rfc"), "/");
    EXPECT_EQ(soapkit::default_cookie_path(""), "/");
}
