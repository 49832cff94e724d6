// Connecting over the classic library: the connect string as built and as the library reads
// it, the time-out, refused and repeated connects, and secrets kept out of the trace.
#include "ClassicTestSupport.h"

#include "classic/ClassicConnectString.h"

#include <algorithm>

using namespace test;
using tolvane::classicrfc::BuildConnectString;
using tolvane::classicrfc::ConnectValues;
using tolvane::classicrfc::MaskedConnectString;

namespace {

bool Contains(const std::vector<std::wstring>& list, const std::wstring& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

} // namespace

TEST(ClassicConnectString, LogonValuesAreQuotedWhereNeededAndSwitchesFollowInOrder)
{
    const struct {
        ConnectValues values;
        const wchar_t* expected;
    } cases[] = {
        {{.base = L"ASHOST=h", .client = L"001", .user = L"DEMO", .password = L"pw", .language = L"en"},
         L"ASHOST=h CLIENT=001 USER=DEMO PASSWD=pw LANG=EN"},
        {{.user = L"A_B", .password = L"p\"w"}, L" USER=\"A_B\" PASSWD=\"p\\\"w\""},
        {{.password = L"back\\slash"}, L" PASSWD=\"back\\\\slash\""},
        {{.password = L"a b,c/d@e:f;g"}, L" PASSWD=\"a b,c/d@e:f;g\""},
        {{.base = L"S", .ticket = L"TICKET", .certificate = L"CERT", .extIdData = L"DATA", .extIdType = L"NT"},
         L"S MYSAPSSO2=TICKET X509CERT=CERT EXTIDDATA=DATA EXTIDTYPE=NT"},
        {{.base = L"S", .visualMode = 2, .debug = true}, L"S USE_SAPGUI=2 ABAP_DEBUG=1"},
        {{.base = L"S"}, L"S"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildConnectString(c.values), c.expected);
}

TEST(ClassicConnectString, TheTracedFormMasksEverySecretValue)
{
    const struct {
        const wchar_t* text;
        const wchar_t* shown;
    } cases[] = {
        {L"USER=X PASSWD=abc LANG=EN", L"USER=X PASSWD=*** LANG=EN"},
        {L"PASSWD=\"a\\\"b c\" USER=\"Y_Z\"", L"PASSWD=******** USER=\"Y_Z\""},
        {L"passwd=one MYSAPSSO2=two X509CERT=three NEWPASS=four", L"passwd=*** MYSAPSSO2=*** X509CERT=***** NEWPASS=****"},
        {L"PASSWD=x PASSWD=y", L"PASSWD=* PASSWD=*"},
        {L"PASSWD=\"unterminated", L"PASSWD=*************"},
        {L"NOVALUE PASSWD", L"NOVALUE PASSWD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MaskedConnectString(c.text), c.shown) << c.text;
}

TEST(ClassicConnect, TheLibraryReadsTheValuesAsTheyWereGiven)
{
    auto session = NewClassicSession({L"ODD_USER", L"q\"u\\o t,e"});
    com::ptr<ILogonData> logon;
    session->get_LogonData(logon.put());
    logon->put_Language(com::bstr(L"en").get());
    SystemData(session.get())->put_VisualMode(2);
    SystemData(session.get())->put_Debug(VARIANT_TRUE);
    ASSERT_EQ(session->Connect(), S_OK);
    ASSERT_FALSE(ErrorOf(session.get()).error) << ErrorOf(session.get()).message;
    const std::vector<std::wstring> received = ReceivedParameters(session.get());
    for (const wchar_t* expected : {L"USER=ODD_USER", L"LANG=EN", L"USE_SAPGUI=2", L"ABAP_DEBUG=1"})
        EXPECT_TRUE(Contains(received, expected)) << expected;
}

TEST(ClassicConnect, ARefusedLogonLeavesTheSessionUnconnectedWithTheLibrarysError)
{
    auto session = NewClassicSession({L"DEMO", L"wrong"});
    EXPECT_EQ(session->Connect(), S_OK);
    const ErrorState error = ErrorOf(session.get());
    EXPECT_TRUE(error.error);
    EXPECT_EQ(error.group, RFCERROR_LOGON_FAILURE);
    EXPECT_FALSE(error.message.empty());
    VARIANT_BOOL connected = VARIANT_TRUE;
    session->get_IsConnected(&connected);
    EXPECT_EQ(connected, VARIANT_FALSE);
}

TEST(ClassicConnect, ASecondConnectIsRefusedAndDisconnectIsAlwaysQuiet)
{
    auto session = ConnectedClassicSession();
    EXPECT_EQ(session->Connect(), static_cast<HRESULT>(0x8004020B));
    VARIANT_BOOL connected = VARIANT_FALSE;
    session->get_IsConnected(&connected);
    EXPECT_EQ(connected, VARIANT_TRUE);
    EXPECT_EQ(session->Disconnect(), S_OK);
    EXPECT_EQ(session->Disconnect(), S_OK);
    session->get_IsConnected(&connected);
    EXPECT_EQ(connected, VARIANT_FALSE);
    com::bstr ticket;
    EXPECT_EQ(session->GetSSO2Ticket(ticket.put()), static_cast<HRESULT>(0x80040208));
}

TEST(ClassicConnect, TheTraceShowsTheTimeOutButNoPasswordOrTicket)
{
    auto session = NewClassicSession({L"ODD_USER", L"q\"u\\o t,e"}, L" GETSSO2=1");
    session->put_Option(com::bstr(L"rfc.connection_timeout").get(), com::bstr(L"5000ms").get());
    com::bstr ticket;
    const std::wstring trace = TraceOf(session.get(), [&] {
        ASSERT_EQ(session->Connect(), S_OK);
        ASSERT_EQ(session->GetSSO2Ticket(ticket.put()), S_OK) << ErrorOf(session.get()).message;
        auto byTicket = NewClassicSession({L"", L"", L"001"});
        com::ptr<ILogonData> logon;
        byTicket->get_LogonData(logon.put());
        logon->put_SSO2Ticket(ticket.get());
        EXPECT_EQ(byTicket->Connect(), S_OK);
        EXPECT_FALSE(ErrorOf(byTicket.get()).error) << ErrorOf(byTicket.get()).message;
    });
    ASSERT_FALSE(ticket.empty());
    EXPECT_NE(trace.find(L"set RFC connection timeout 5000 ms"), std::wstring::npos) << trace;
    EXPECT_NE(trace.find(L"trying to connect"), std::wstring::npos);
    EXPECT_NE(trace.find(L"GetSSO2Ticket(): received ticket (l="), std::wstring::npos);
    for (const std::wstring& secret : {std::wstring(L"u\\o t"), std::wstring(L"q\\\"u"), ticket.str()})
        EXPECT_EQ(trace.find(secret), std::wstring::npos) << secret;
}
