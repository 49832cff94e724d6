// Logon at sapsim's gateway through the stand-in: users, tickets, parameters and destinations.
#include "Admin.h"
#include "StandIn.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>

using namespace standin;

namespace {

Parameters with(Parameters p, const std::wstring& name, const std::wstring& value)
{
    for (auto& [n, v] : p)
        if (n == name) {
            v = value;
            return p;
        }
    p.emplace_back(name, value);
    return p;
}

std::vector<std::pair<std::string, std::string>> receivedParameters(RFC_CONNECTION_HANDLE c)
{
    Function f(c, L"Z_SIM_LOGON_PARAMETERS");
    Error e;
    EXPECT_EQ(RFC_OK, f.invoke(c, e)) << e.text();
    RFC_TABLE_HANDLE rows = f.table(L"PARAMETERS");
    std::vector<std::pair<std::string, std::string>> out;
    for (RFC_RC rc = nw().RfcMoveToFirstRow(rows, &e); rc == RFC_OK && rowCount(rows) > 0; rc = nw().RfcMoveToNextRow(rows, &e)) {
        RFC_STRUCTURE_HANDLE row = nw().RfcGetCurrentRow(rows, &e);
        std::wstring name = chars(row, L"NAME", 40);
        name.erase(name.find_last_not_of(L' ') + 1);
        out.emplace_back(utf8(name.c_str()), utf8(string(row, L"VALUE").c_str()));
    }
    return out;
}

} // namespace

TEST(Logon, RefusalsComeAsLogonFailures)
{
    struct Case {
        const char* what;
        Parameters parameters;
        const char* message;
    } cases[] = {
        {"wrong password", logon(L"DEMO", L"wrong"), "Name or password is incorrect"},
        {"unknown user", logon(L"NOBODY", L"demo1234"), "Name or password is incorrect"},
        {"locked user", logon(L"LOCKED", L"locked12"), "User is locked"},
        {"unknown client", logon(L"DEMO", L"demo1234", L"999"), "Client 999 is not available"},
        {"forged ticket", with(with(logon(), L"passwd", L""), L"mysapsso2", L"Zm9yZ2Vk"), "ticket is not valid"},
    };
    for (const Case& c : cases) {
        Error e;
        EXPECT_EQ(nullptr, open(c.parameters, e)) << c.what;
        EXPECT_EQ(RFC_LOGON_FAILURE, e.code) << c.what;
        EXPECT_EQ(RFC_GROUP_LOGON_FAILURE, e.group) << c.what;
        EXPECT_NE(std::string::npos, e.text().find(c.message)) << c.what << ": " << e.text();
    }
}

TEST(Logon, ParametersTheLibraryChecksItself)
{
    Parameters noClient = logon();
    noClient.erase(noClient.begin() + 3);
    Parameters deadPort = with(logon(), L"gwserv", L"1");
    Parameters badService = with(logon(), L"gwserv", L"sapgwXY");
    struct Case {
        Parameters parameters;
        RFC_RC code;
    } cases[] = {{noClient, RFC_INVALID_PARAMETER}, {badService, RFC_INVALID_PARAMETER}, {deadPort, RFC_COMMUNICATION_FAILURE}};
    for (const Case& c : cases) {
        Error e;
        EXPECT_EQ(nullptr, open(c.parameters, e));
        EXPECT_EQ(c.code, e.code) << e.text();
    }
}

TEST(Logon, AcceptedLogonShowsInAttributes)
{
    Connection c(with(logon(L"demo"), L"lang", L"de"));
    ASSERT_TRUE(c) << c.openError().text();
    RFC_ATTRIBUTES a{};
    Error e;
    ASSERT_EQ(RFC_OK, nw().RfcGetConnectionAttributes(c.handle(), &a, &e));
    EXPECT_EQ("SIM", utf8(a.sysId));
    EXPECT_EQ("001", utf8(a.client));
    EXPECT_EQ("DEMO", utf8(a.user));
    EXPECT_EQ("DE", utf8(a.language));
    EXPECT_EQ("C", utf8(a.rfcRole));
    int valid = 0;
    EXPECT_EQ(RFC_OK, nw().RfcIsConnectionHandleValid(c.handle(), &valid, &e));
    EXPECT_EQ(1, valid);
    EXPECT_EQ(RFC_OK, nw().RfcPing(c.handle(), &e));
}

TEST(Logon, ExpiredPasswordLogsOnButMayOnlyCheckAndChangeIt)
{
    Connection c(logon(L"EXPIRED", L"expired1"));
    ASSERT_TRUE(c) << c.openError().text();
    Function check(c.handle(), L"SUSR_LOGIN_CHECK_RFC");
    Error e;
    EXPECT_EQ(RFC_ABAP_EXCEPTION, check.invoke(c.handle(), e));
    EXPECT_EQ("PASSWORD_EXPIRED", e.key());
    Function other(c.handle(), L"STFC_CONNECTION");
    EXPECT_EQ(RFC_LOGON_FAILURE, other.invoke(c.handle(), e));
    EXPECT_EQ("PASSWORD_EXPIRED", e.key());
}

TEST(Logon, TicketOfOneConnectionLogsOnAnother)
{
    Connection first(logon());
    ASSERT_TRUE(first);
    Function ticketCall(first.handle(), L"Z_SIM_SSO2_TICKET");
    Error e;
    ASSERT_EQ(RFC_OK, ticketCall.invoke(first.handle(), e)) << e.text();
    const std::wstring ticket = string(ticketCall.handle(), L"TICKET");
    Parameters byTicket = {{L"ashost", L"127.0.0.1"}, {L"sysnr", L"00"}, {L"gwserv", std::to_wstring(gatewayPort())},
                           {L"client", L"001"}, {L"mysapsso2", ticket}};
    Connection second(byTicket);
    ASSERT_TRUE(second) << second.openError().text();
    RFC_ATTRIBUTES a{};
    nw().RfcGetConnectionAttributes(second.handle(), &a, &e);
    EXPECT_EQ("DEMO", utf8(a.user));
    Error refused;
    EXPECT_EQ(nullptr, open(with(byTicket, L"client", L"000"), refused)) << "a ticket is valid in its own client only";
}

TEST(Logon, GatewayKeepsTheParametersAsReceivedWithSecretsMasked)
{
    Parameters p = with(logon(), L"passwd", L"first1");
    p.emplace_back(L"USE_SAPGUI", L"1");
    p.emplace_back(L"passwd", L"demo1234"); // the last of a name counts
    p.emplace_back(L"Path", L"C:\\dir with space\\x");
    Connection c(p);
    ASSERT_TRUE(c) << c.openError().text();
    const auto received = receivedParameters(c.handle());
    ASSERT_EQ(p.size(), received.size());
    for (size_t i = 0; i < p.size(); ++i)
        EXPECT_EQ(utf8(p[i].first.c_str()), received[i].first) << i;
    EXPECT_EQ("<hidden 6 chars, wrong>", received[5].second);
    EXPECT_EQ("<hidden 8 chars, correct>", received[8].second);
    EXPECT_EQ("1", received[7].second);
    EXPECT_EQ("C:\\dir with space\\x", received[9].second);

    const auto logons = adminGet("logons").body["logons"];
    ASSERT_FALSE(logons.empty());
    EXPECT_EQ("<hidden 8 chars, correct>", logons.back()["parameters"][8][1]);
}

TEST(Logon, DestinationFromTheIniFileWhichIsReadAgainOnReload)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const auto dir = std::filesystem::path(temp) / ("standin-ini-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    auto write = [&](const std::string& user) {
        std::ofstream(dir / "sapnwrfc.ini") << "# test destinations\nDEST=SIMDEST\nASHOST=127.0.0.1\nSYSNR=00\nGWSERV="
                                            << gatewayPort() << "\nCLIENT=001\nUSER=" << user << "\nLANG=EN\n";
    };
    write("DEMO");
    Error e;
    ASSERT_EQ(RFC_OK, nw().RfcSetIniPath(dir.wstring().c_str(), &e)) << e.text();
    const Parameters byDest = {{L"Dest", L"simdest"}, {L"PASSWD", L"rfcuser1"}};
    EXPECT_EQ(nullptr, open(byDest, e)) << "DEMO's password is not rfcuser1";
    EXPECT_EQ(RFC_LOGON_FAILURE, e.code);
    write("RFCUSER");
    ASSERT_EQ(RFC_OK, nw().RfcReloadIniFile(&e));
    Connection c(byDest);
    ASSERT_TRUE(c) << c.openError().text();
    RFC_ATTRIBUTES a{};
    nw().RfcGetConnectionAttributes(c.handle(), &a, &e);
    EXPECT_EQ("RFCUSER", utf8(a.user));
    EXPECT_EQ("simdest", utf8(a.dest));
    EXPECT_EQ(nullptr, open({{L"DEST", L"NOWHERE"}}, e));
    EXPECT_EQ(RFC_INVALID_PARAMETER, e.code);
    std::filesystem::remove_all(dir);
}
