// Connecting and disconnecting a SOAP session, and how transport failures show.
#include "SoapTestSupport.h"
#include "TestServer.h"
#include "session/Trace.h"

#include <fstream>
#include <sstream>

using namespace test;

namespace {

constexpr HRESULT kNotConnected = static_cast<HRESULT>(0x80040208);
constexpr HRESULT kAlreadyConnected = static_cast<HRESULT>(0x8004020B);

// A port nobody listens on.
long ClosedPort()
{
    static const long port = [] {
        TestServer server([](const HttpRequestSeen&) { return HttpReply{}; });
        const long p = server.port();
        server.stop();
        return p;
    }();
    return port;
}

bool Connected(ISession* session)
{
    VARIANT_BOOL connected = VARIANT_FALSE;
    session->get_IsConnected(&connected);
    return connected == VARIANT_TRUE;
}

} // namespace

TEST(SoapConnect, ConnectsDisconnectsAndRefusesTheWrongOrder)
{
    auto session = NewSoapSession(SimPort());
    EXPECT_EQ(session->Disconnect(), kNotConnected);
    ASSERT_EQ(session->Connect(), S_OK);
    EXPECT_TRUE(Connected(session.get()));
    EXPECT_EQ(session->Connect(), kAlreadyConnected);
    EXPECT_TRUE(Connected(session.get())); // the first connection stays
    com::bstr type;
    session->get_SessionType(type.put());
    EXPECT_EQ(type.view(), L"SOAP");
    ASSERT_EQ(session->Disconnect(), S_OK);
    EXPECT_FALSE(Connected(session.get()));
    // The same session connects again.
    ASSERT_EQ(session->Connect(), S_OK);
    EXPECT_TRUE(Connected(session.get()));
}

TEST(SoapConnect, RefusedConnectionsNameTheHostAndTheProxyOnlyWhenThereIsOne)
{
    auto session = NewSoapSession(ClosedPort());
    SystemData(session.get())->put_ProxyHost(com::bstr(L"127.0.0.1").get());
    SystemData(session.get())->put_ProxyPort(ClosedPort());
    EXPECT_EQ(session->Connect(), S_OK);
    EXPECT_FALSE(Connected(session.get()));
    ErrorState viaProxy = ErrorOf(session.get());
    EXPECT_EQ(viaProxy.group, RFCERROR_COMMUNICATION);
    EXPECT_EQ(viaProxy.groupText, L"communication error");
    const std::wstring port = std::to_wstring(ClosedPort());
    EXPECT_EQ(viaProxy.message,
              L"could not connect to host 127.0.0.1:" + port + L" (through proxy 127.0.0.1:" + port + L")");

    SystemData(session.get())->put_ProxyHost(com::bstr(L"").get());
    EXPECT_EQ(session->Connect(), S_OK);
    EXPECT_EQ(ErrorOf(session.get()).message, L"could not connect to host 127.0.0.1:" + port);
}

TEST(SoapConnect, TransportFailuresMapToErrorGroups)
{
    struct Case {
        const wchar_t* what;
        std::function<void(ISoapSession*)> arrange;
        long group;
        std::wstring text;
        std::wstring message;
    };
    // A label longer than 63 characters is not a host name: nothing is asked of a name server.
    const std::wstring badHost(70, L'x');
    const Case cases[] = {
        {L"host", [&](ISoapSession* s) { SystemData(s)->put_Host(com::bstr(badHost).get()); }, RFCERROR_COMMUNICATION,
         L"communication error", L"could not resolve host " + badHost},
        {L"protocol", [](ISoapSession* s) { SystemData(s)->put_Protocol(com::bstr(L"gopher").get()); },
         RFCERROR_COMMUNICATION, L"communication error", L"invalid url specified"},
        {L"password",
         [](ISoapSession* s) {
             com::ptr<ILogonData> logon;
             s->get_LogonData(logon.put());
             logon->put_Password(com::bstr(L"wrong").get());
         },
         RFCERROR_LOGON_FAILURE, L"logon failure", L"logon failed: wrong user, password or client"},
        {L"endpoint", [](ISoapSession* s) { SystemData(s)->put_SoapEndpoint(com::bstr(L"sim/nothing").get()); },
         RFCERROR_COMMUNICATION, L"communication error",
         L"RFC_PING returns status code 404 (should be HTTP 200 (ok)"},
    };
    for (const Case& c : cases) {
        auto session = NewSoapSession(SimPort());
        c.arrange(session.get());
        EXPECT_EQ(session->Connect(), S_OK) << c.what;
        EXPECT_FALSE(Connected(session.get())) << c.what;
        ErrorState error = ErrorOf(session.get());
        EXPECT_TRUE(error.error) << c.what;
        EXPECT_EQ(error.group, c.group) << c.what;
        EXPECT_EQ(error.groupText, c.text) << c.what;
        EXPECT_EQ(error.message, c.message) << c.what;
    }
}

TEST(SoapConnect, APingAnsweredWithAServerErrorLeavesTheSessionDisconnected)
{
    TestServer server([](const HttpRequestSeen&) { return HttpReply::xml("<broken/>", 500); });
    auto session = NewSoapSession(server.port());
    ASSERT_EQ(session->Connect(), S_OK);
    EXPECT_FALSE(Connected(session.get()));
    EXPECT_EQ(ErrorOf(session.get()).message, L"RFC_PING returns status code 500 (should be HTTP 200 (ok)");
}

TEST(SoapConnect, TheRequestUrlCarriesClientLanguageAndSessionMode)
{
    TestServer server([](const HttpRequestSeen&) {
        return HttpReply::xml("<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
                              "<rfc:RFC_PING.Response xmlns:rfc=\"urn:sap-com:document:sap:rfc:functions\"/>"
                              "</soap:Body></soap:Envelope>");
    });
    auto stateless = NewSoapSession(server.port());
    ASSERT_EQ(stateless->Connect(), S_OK);
    ASSERT_EQ(stateless->Disconnect(), S_OK);
    auto stateful = NewSoapSession(server.port());
    SystemData(stateful.get())->put_Stateful(VARIANT_TRUE);
    ASSERT_EQ(stateful->Connect(), S_OK);
    ASSERT_EQ(stateful->Disconnect(), S_OK);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].target, "/sap/bc/soap/rfc?sap-client=001&sap-language=EN");
    EXPECT_EQ(requests[1].target, "/sap/bc/soap/rfc?sap-client=001&sap-language=EN&session_mode=2");
    EXPECT_EQ(requests[2].target, "/sap/bc/soap/rfc?sap-client=001&sap-language=EN&session_mode=1");
    EXPECT_EQ(requests[3].target, "/sap/bc/soap/rfc?sap-client=001&sap-language=EN&session_mode=2");
    EXPECT_NE(requests[0].header("authorization").find("Basic "), std::string::npos);

    // A user without a password gives the transport no credentials.
    auto noPassword = NewSoapSession(server.port(), {L"DEMO", L"", L"001"});
    ASSERT_EQ(noPassword->Connect(), S_OK);
    EXPECT_FALSE(server.requests().back().has_header("authorization"));
}

TEST(SoapConnect, ALogonTicketTravelsAsACookie)
{
    auto ticketSession = ConnectedSession();
    auto call = Import(ticketSession.get(), L"Z_SIM_SSO2_TICKET");
    ASSERT_EQ(ticketSession->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    const std::wstring ticket = Text(Get(call.get(), L"TICKET"));
    ASSERT_FALSE(ticket.empty());

    auto session = NewSoapSession(SimPort(), {L"", L"", L"001"});
    com::ptr<ILogonData> logon;
    session->get_LogonData(logon.put());
    logon->put_SSO2Ticket(com::bstr(ticket).get());
    ASSERT_EQ(session->Connect(), S_OK);
    EXPECT_TRUE(Connected(session.get())) << ErrorOf(session.get()).message;
}

TEST(SoapConnect, TheConnectTraceShowsEndpointAndProxyButNoPassword)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring trace = std::wstring(dir) + L"tolvane-soap-connect.log";
    DeleteFileW(trace.c_str());
    {
        auto session = NewSoapSession(SimPort());
        session->put_Option(com::bstr(L"trace.file").get(), com::bstr(trace).get());
        ASSERT_EQ(session->Connect(), S_OK);
    } // destroying the session closes the trace
    EXPECT_FALSE(ostrel::TraceIsOpen());
    std::ifstream in(trace.c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    const std::string expected = "CSoapSession: Connecting to server  endpoint=http://127.0.0.1:" +
                                 std::to_string(SimPort()) +
                                 "/sap/bc/soap/rfc?sap-client=001&sap-language=EN user=DEMO timeout=60000\r\n";
    EXPECT_NE(s.str().find(expected), std::string::npos) << s.str();
    EXPECT_EQ(s.str().find("demo1234"), std::string::npos);
    DeleteFileW(trace.c_str());
}
