// Logon, connect strings as the library reads them, the thread's last error and the handles.
#include "ClassicApi.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <map>
#include <thread>

using namespace classic;

namespace {

// The parameters the library received, as sapsim's Z_SIM_LOGON_PARAMETERS reports them.
std::vector<std::pair<std::string, std::string>> receivedParameters(RFC_HANDLE h)
{
    const Structure row = installFromPartner(h, L"ZSIM_PARAMETER");
    Parameters none;
    Tables tables;
    tables.add(L"PARAMETERS", row.handle, row.length, nullptr);
    EXPECT_EQ(RFC_OK, callReceive(h, L"Z_SIM_LOGON_PARAMETERS", none, none, tables)) << lastError().message;
    std::vector<std::pair<std::string, std::string>> out;
    const ITAB_H t = tables.at(0).ithandle;
    for (unsigned line = 1; line <= rfc().ItFillU(t); ++line) {
        const auto* bytes = static_cast<const uint8_t*>(rfc().ItGetLineU(t, line));
        const auto* name = reinterpret_cast<const SAP_UC*>(bytes + row.field("NAME").c2_offset);
        RFC_STRING value = nullptr;
        std::memcpy(&value, bytes + row.field("VALUE").c2_offset, sizeof value);
        out.emplace_back(utf8(trimmed(name, 40).c_str()), reinterpret_cast<const char*>(value));
    }
    rfc().ItDeleteU(t);
    return out;
}

std::string valueOf(const std::vector<std::pair<std::string, std::string>>& parameters, const std::string& name)
{
    std::string found = "<missing>";
    for (const auto& [n, v] : parameters)
        if (n == name)
            found = v;
    return found;
}

} // namespace

TEST(Connect, LogonAcceptedOrRefusedWithTheLibrarysGroups)
{
    struct Case {
        std::wstring connect;
        int group; // 0: accepted
        std::string message;
    };
    const Case cases[] = {
        {connectString(), 0, ""},
        {connectString(L"DEMO", L"wrong"), RFC_ERROR_LOGON_FAILURE, "Name or password is incorrect"},
        {connectString(L"LOCKED", L"locked12"), RFC_ERROR_LOGON_FAILURE, "User is locked"},
        {connectString(L"DEMO", L"demo1234", L"CLIENT=999"), RFC_ERROR_LOGON_FAILURE, "Client 999 is not available"},
        {L"ASHOST=127.0.0.1 SYSNR=00 GWSERV=" + std::to_wstring(gatewayPort()) + L" USER=DEMO PASSWD=demo1234", RFC_ERROR_PROGRAM, "CLIENT"},
        {L"MSHOST=127.0.0.1 CLIENT=001 USER=DEMO PASSWD=demo1234", RFC_ERROR_PROGRAM, "message server"},
        {L"ASHOST=127.0.0.1 GWSERV=1 CLIENT=001 USER=DEMO PASSWD=demo1234", RFC_ERROR_COMMUNICATION, "not reached"},
        {L"ASHOST=127.0.0.1 SYSNR=ABC CLIENT=001 USER=DEMO PASSWD=demo1234", RFC_ERROR_PROGRAM, "system number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.connect.c_str()));
        Connection connection(c.connect);
        if (c.group == 0) {
            ASSERT_TRUE(connection) << utf8(connection.openError().message);
            EXPECT_EQ(RFC_OK, rfc().RfcIsValidHandleU(connection.handle(), nullptr));
            continue;
        }
        EXPECT_FALSE(connection);
        EXPECT_EQ(c.group, connection.openError().group);
        EXPECT_NE(std::string::npos, utf8(connection.openError().message).find(c.message)) << utf8(connection.openError().message);
        const LastError e = lastError();
        EXPECT_TRUE(e.present);
        EXPECT_EQ(c.group, e.group);
        EXPECT_EQ(std::string::npos, e.message.find("demo1234")) << "no password in an error text";
    }
}

TEST(Connect, ValuesReachThePartnerAsWrittenAfterQuoting)
{
    struct Case {
        std::wstring extra;
        std::string name, value;
    };
    const Case cases[] = {
        {L"USE_SAPGUI=2", "USE_SAPGUI", "2"},
        {L"ABAP_DEBUG=1", "ABAP_DEBUG", "1"},
        {L"X_WORDS=\"two words\"", "X_WORDS", "two words"},
        {L"X_QUOTES=\"say \\\"hi\\\"\"", "X_QUOTES", "say \"hi\""},
        {L"X_BACKSLASH=\"C:\\dir\\\\file\\\\\"", "X_BACKSLASH", "C:\\dir\\file\\"},
        {L"X_SPECIAL=\"a,b/c@d:e;f_g\"", "X_SPECIAL", "a,b/c@d:e;f_g"},
        {L"X_EMPTY=\"\"", "X_EMPTY", ""},
        {L"lang=de", "lang", "de"},
        {L"TRACE=1", "TRACE", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Connection connection(connectString(L"DEMO", L"demo1234", c.extra));
        ASSERT_TRUE(connection) << utf8(connection.openError().message);
        const auto received = receivedParameters(connection.handle());
        EXPECT_EQ(c.value, valueOf(received, c.name));
        EXPECT_EQ("<hidden 8 chars, correct>", valueOf(received, "PASSWD"));
        EXPECT_EQ("001", valueOf(received, "CLIENT"));
    }
}

TEST(Connect, QuotedLogonValuesAreUnquotedBeforeTheLogon)
{
    Connection quoted(L"ASHOST=127.0.0.1 SYSNR=00 GWSERV=" + std::to_wstring(gatewayPort()) +
                      L" CLIENT=001 USER=\"DEMO\" PASSWD=\"demo1234\" LANG=EN");
    ASSERT_TRUE(quoted) << utf8(quoted.openError().message);
    // A refused logon has no connection to ask: sapsim's journal of logons shows it.
    const std::string mark = std::to_string(GetTickCount64());
    Connection escaped(connectString(L"\"DE_MO\"", L"\"p\\\"w\\\\d\"", L"X_MARK=" + wide(mark)));
    EXPECT_FALSE(escaped);
    std::map<std::string, std::string> seen;
    const nlohmann::json journal = admin("logons");
    for (const auto& logon : journal["logons"]) {
        std::map<std::string, std::string> parameters;
        for (const auto& p : logon["parameters"])
            parameters[p[0].get<std::string>()] = p[1].get<std::string>();
        if (parameters["X_MARK"] == mark)
            seen = parameters;
    }
    EXPECT_EQ("DE_MO", seen["USER"]);
    EXPECT_EQ("<hidden 5 chars, wrong>", seen["PASSWD"]) << "p\"w\\d is five characters";
}

TEST(Connect, MalformedConnectStringsAreRefusedWithoutQuotingThem)
{
    const std::wstring cases[] = {
        L"ASHOST",
        L"ASHOST=127.0.0.1 PASSWD=\"secret",
        L"ASHOST=127.0.0.1 PASSWD=\"secret\"x",
        L"=value",
        L"ASHOST=127.0.0.1 SYS-NR=00",
    };
    for (const std::wstring& text : cases) {
        SCOPED_TRACE(utf8(text.c_str()));
        std::wstring copy = text;
        RFC_ERROR_INFO_EX e{};
        EXPECT_EQ(RFC_HANDLE_NULL, rfc().RfcOpenExU(copy.data(), &e));
        EXPECT_EQ(RFC_ERROR_PROGRAM, e.group);
        EXPECT_EQ(std::string::npos, utf8(e.message).find("secret"));
    }
}

TEST(Connect, LastErrorBelongsToItsThreadAndIsHandedOutOnce)
{
    while (lastError().present) {
    }
    std::wstring bad = connectString(L"DEMO", L"wrong");
    EXPECT_EQ(RFC_HANDLE_NULL, rfc().RfcOpenExU(bad.data(), nullptr));
    bool seenElsewhere = true;
    std::thread([&] { seenElsewhere = lastError().present; }).join();
    EXPECT_FALSE(seenElsewhere);
    const LastError first = lastError();
    EXPECT_TRUE(first.present);
    EXPECT_EQ(RFC_ERROR_LOGON_FAILURE, first.group);
    EXPECT_FALSE(lastError().present) << "fetched once";
    EXPECT_EQ(1, rfc().RfcLastErrorExU(nullptr));
}

TEST(Connect, SystemTimeoutTakesMillisecondsForLaterOpens)
{
    EXPECT_EQ(RFC_FAILURE, rfc().RfcSetSystemTimeoutU(0));
    EXPECT_EQ(RFC_FAILURE, rfc().RfcSetSystemTimeoutU(-5));
    EXPECT_EQ(RFC_OK, rfc().RfcSetSystemTimeoutU(5000));
    Connection c;
    EXPECT_TRUE(c);
    EXPECT_EQ(RFC_OK, rfc().RfcSetSystemTimeoutU(60000));
}

TEST(Connect, ClosedAndUnknownHandlesAreTold)
{
    Connection c;
    ASSERT_TRUE(c);
    RFC_ATTRIBUTES a{};
    EXPECT_EQ(0, rfc().RfcGetAttributesU(c.handle(), &a));
    EXPECT_EQ("SIM", utf8(a.sysid));
    EXPECT_EQ("DEMO", utf8(a.user));
    EXPECT_EQ(RFC_ROLE_CLIENT, a.rfc_role);
    const RFC_HANDLE h = c.handle() + 1000;
    EXPECT_EQ(RFC_INVALID_HANDLE, rfc().RfcIsValidHandleU(h, nullptr));
    EXPECT_EQ(1, rfc().RfcGetAttributesU(h, &a));
    std::wstring open = connectString();
    const RFC_HANDLE closed = rfc().RfcOpenExU(open.data(), nullptr);
    rfc().RfcCloseU(closed);
    EXPECT_EQ(RFC_INVALID_HANDLE, rfc().RfcIsValidHandleU(closed, nullptr)) << "a handle is never given twice";

    RFC_HANDLE first = 0, second = 0;
    std::thread([&] {
        std::wstring text = connectString();
        first = rfc().RfcOpenExU(text.data(), nullptr);
        second = rfc().RfcOpenExU(text.data(), nullptr);
        rfc().RfcCloseU(RFC_HANDLE_NULL);
    }).join();
    EXPECT_EQ(RFC_INVALID_HANDLE, rfc().RfcIsValidHandleU(first, nullptr)) << "handle 0 closes the thread's connections";
    EXPECT_EQ(RFC_INVALID_HANDLE, rfc().RfcIsValidHandleU(second, nullptr));
    EXPECT_EQ(RFC_OK, rfc().RfcIsValidHandleU(c.handle(), nullptr)) << "and only those";
}
