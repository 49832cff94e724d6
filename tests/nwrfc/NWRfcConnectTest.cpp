// Connecting over the NetWeaver library: what the library receives, refusals, the ini file, the
// traces, and the session's connection rules.
#include "NWRfcTestSupport.h"
#include "support/ThreadError.h"

#include "session/Trace.h"

#include <fstream>
#include <sstream>

using namespace test;

namespace {

const HRESULT kRfcError = static_cast<HRESULT>(0x8004021F);

std::wstring TempFolder()
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return folder;
}

std::string FileText(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(NWRfcConnect, TheLibraryReceivesTheConnectStringsPairsThenSapGuiThenTheLogonData)
{
    auto session = NewNWSession({}, L" Dir=C:\\sap\\work NOTE=\"two words\" Q=a\\\"b PASSWD=demo1234");
    SystemData(session.get())->put_VisualMode(1);
    ASSERT_EQ(session->Connect(), S_OK) << ErrorOf(session.get()).message;
    const std::vector<std::wstring> received = ReceivedParameters(session.get());
    const std::wstring port = std::to_wstring(GatewayPort());
    const std::vector<std::wstring> expected = {L"ashost=127.0.0.1", L"sysnr=00", L"gwserv=" + port,
                                                L"dir=C:\\sap\\work", L"note=two words", L"q=a\"b"};
    ASSERT_GE(received.size(), expected.size() + 6);
    EXPECT_EQ(std::vector<std::wstring>(received.begin(), received.begin() + 6), expected);
    EXPECT_EQ(received[7], L"use_sapgui=1");
    EXPECT_EQ(received[8], L"client=001");
    EXPECT_EQ(received[9], L"user=DEMO");
    // The password is passed twice, the connect string's first; sapsim shows it masked.
    EXPECT_EQ(received[6].rfind(L"passwd=", 0), 0u);
    EXPECT_EQ(received[10].rfind(L"passwd=", 0), 0u);
    EXPECT_EQ(received[11], L"lang=EN");
}

TEST(NWRfcConnect, RefusedLogonsFailWith543AndTheLibrarysError)
{
    const struct {
        Logon logon;
        const wchar_t* message;
    } cases[] = {
        {{L"DEMO", L"wrong", L"001"}, L"Name or password is incorrect (repeat logon)"},
        {{L"LOCKED", L"locked12", L"001"}, L"User is locked. Please notify the person responsible"},
        {{L"DEMO", L"demo1234", L"999"}, L"Client 999 is not available in this system"},
    };
    for (const auto& c : cases) {
        auto session = NewNWSession(c.logon);
        EXPECT_EQ(session->Connect(), kRfcError) << c.message;
        const ErrorState error = ErrorOf(session.get());
        EXPECT_TRUE(error.error) << c.message;
        EXPECT_EQ(error.group, 3) << c.message; // the library's logon failure group
        EXPECT_EQ(error.message, c.message);
        VARIANT_BOOL connected = VARIANT_TRUE;
        session->get_IsConnected(&connected);
        EXPECT_EQ(connected, VARIANT_FALSE);
    }
}

TEST(NWRfcConnect, OneConnectionPerSessionAndNoneAfterDisconnect)
{
    auto session = ConnectedNWSession();
    EXPECT_EQ(session->Connect(), static_cast<HRESULT>(0x8004020B));
    ASSERT_EQ(session->Disconnect(), S_OK);
    VARIANT_BOOL connected = VARIANT_TRUE;
    session->get_IsConnected(&connected);
    EXPECT_EQ(connected, VARIANT_FALSE);
    com::ptr<IFunctionCall> call;
    session->CreateCall(call.put());
    call->put_Function(com::bstr(L"RFC_PING").get());
    EXPECT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), static_cast<HRESULT>(0x80040208));
    EXPECT_EQ(session->Disconnect(), static_cast<HRESULT>(0x80040208));
    ASSERT_EQ(session->Connect(), S_OK); // the same session connects again
}

TEST(NWRfcConnect, AnInvalidConnectStringFailsWith546BeforeTheLibraryIsAsked)
{
    auto session = NewNWSession({}, L"  TWO=spaces");
    EXPECT_EQ(session->Connect(), static_cast<HRESULT>(0x80040222));
    EXPECT_EQ(ThreadErrorDescription(), L"Invalid connection string");
}

TEST(NWRfcConnect, TheIniPathMustNameSomethingAndADestinationComesFromItsFile)
{
    auto bad = NewNWSession();
    bad->put_Option(com::bstr(L"nwrfc.ini_path").get(), com::bstr(L"Z:\\no\\such\\folder").get());
    EXPECT_EQ(bad->Connect(), static_cast<HRESULT>(0x80040224));
    VARIANT_BOOL connected = VARIANT_TRUE;
    bad->get_IsConnected(&connected);
    EXPECT_EQ(connected, VARIANT_FALSE);

    const std::wstring folder = TempFolder() + L"tolvane-ini";
    CreateDirectoryW(folder.c_str(), nullptr);
    {
        std::ofstream ini((folder + L"\\sapnwrfc.ini").c_str());
        ini << "DEST=SIM\nASHOST=127.0.0.1\nSYSNR=00\nGWSERV=" << GatewayPort() << "\n";
    }
    auto session = NewNWSession();
    SystemData(session.get())->put_ConnectString(com::bstr(L"DEST=SIM").get());
    session->put_Option(com::bstr(L"nwrfc.ini_path").get(), com::bstr(folder).get());
    EXPECT_EQ(session->Connect(), S_OK) << ErrorOf(session.get()).message;
}

TEST(NWRfcConnect, TheTracesNeverCarryThePasswordOrTheTicket)
{
    const std::wstring trace = TempFolder() + L"tolvane-nwrfc-connect.log";
    DeleteFileW(trace.c_str());
    auto session = NewNWSession({}, L" PASSWD=demo1234");
    com::ptr<ILogonData> logon;
    session->get_LogonData(logon.put());
    logon->put_SSO2Ticket(com::bstr(L"TicketValue42").get());
    session->put_Option(com::bstr(L"trace.file").get(), com::bstr(trace).get());
    session->Connect();
    ostrel::TraceClose();
    const std::string text = FileText(trace);
    EXPECT_NE(text.find("connectstr="), std::string::npos);
    EXPECT_NE(text.find("passwd=********"), std::string::npos);
    EXPECT_EQ(text.find("demo1234"), std::string::npos);
    EXPECT_EQ(text.find("TicketValue42"), std::string::npos);
    DeleteFileW(trace.c_str());
}
