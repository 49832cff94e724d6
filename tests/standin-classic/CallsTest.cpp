// Calls: exceptions, failures that end the connection, the asynchronous road (call, listen,
// receive, cancel), transactional units and the logon ticket.
#include "ClassicApi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace classic;

namespace {

RFC_RC call(RFC_HANDLE h, const wchar_t* function, Parameters& exporting, Parameters& importing)
{
    Tables none;
    return callReceive(h, function, exporting, importing, none);
}

RFC_RC startSleep(RFC_HANDLE h, RFC_INT& milliseconds)
{
    Parameters exporting;
    exporting.add(L"MILLISECONDS", RFCTYPE_INT, 4, &milliseconds);
    Tables none;
    std::wstring name = L"Z_SIM_SLEEP";
    return rfc().RfcCallExU(h, name.data(), exporting.get(), nullptr, none.get());
}

// Polls as a caller of the library does, until the answer is there or the connection ended.
RFC_RC listenUntilDone(RFC_HANDLE h)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    RFC_RC rc = RFC_RETRY;
    while (rc == RFC_RETRY && std::chrono::steady_clock::now() < deadline) {
        rc = rfc().RfcListenU(h);
        if (rc == RFC_RETRY)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return rc;
}

std::wstring tid(RFC_HANDLE h)
{
    RFC_TID id = {};
    EXPECT_EQ(RFC_OK, rfc().RfcCreateTransIDU(h, id));
    return id;
}

RFC_RC submitCounter(RFC_HANDLE h, std::wstring id)
{
    std::wstring name = L"Z_SIM_COUNTER";
    Parameters none;
    Tables tables;
    return rfc().RfcIndirectCallExU(h, name.data(), none.get(), tables.get(), id.data());
}

} // namespace

TEST(Calls, AbapExceptionGivesItsNameAndKeepsTheConnection)
{
    Connection c;
    std::wstring exception = field(L"TEST_EXCEPTION", 30), message = field(L"raised on purpose", 220);
    Parameters exporting, none;
    exporting.add(L"EXCEPTION", RFCTYPE_CHAR, 60, exception.data()).add(L"MESSAGE", RFCTYPE_CHAR, 440, message.data());
    std::string raised;
    Tables tables;
    EXPECT_EQ(RFC_EXCEPTION, callReceive(c.handle(), L"Z_SIM_RAISE", exporting, none, tables, &raised));
    EXPECT_EQ("TEST_EXCEPTION", raised);
    const LastError e = lastError();
    EXPECT_EQ(RFC_ERROR_APPLICATION_EXCEPTION, e.group);
    EXPECT_EQ("TEST_EXCEPTION", e.key);
    EXPECT_EQ("raised on purpose", e.message);
    EXPECT_EQ(1, counter(c.handle()));
}

TEST(Calls, TablesAreReceivedWithAnException)
{
    Connection c;
    const Structure s = installFromPartner(c.handle(), L"ZSIM_ALLTYPES");
    RFC_INT count = 3, width = -1;
    const ITAB_H rows = rfc().ItCreateU(nullptr, s.length, 0, 0);
    rfc().ItAppLineU(rows);
    rfc().ItAppLineU(rows);
    Parameters exporting, none;
    exporting.add(L"ROWCOUNT", RFCTYPE_INT, 4, &count).add(L"WIDTH", RFCTYPE_INT, 4, &width);
    Tables tables;
    tables.add(L"ROWS", s.handle, s.length, rows);
    std::string raised;
    EXPECT_EQ(RFC_EXCEPTION, callReceive(c.handle(), L"Z_SIM_GENERATE_ROWS", exporting, none, tables, &raised));
    EXPECT_EQ("INVALID_WIDTH", raised);
    EXPECT_EQ(0u, rfc().ItFillU(rows)) << "the table came back as the module left it: emptied";
    rfc().ItDeleteU(rows);
}

TEST(Calls, SystemFailureEndsTheConnection)
{
    Connection c;
    std::wstring type = L"A";
    Parameters exporting, none;
    exporting.add(L"MSGTY", RFCTYPE_CHAR, 2, type.data());
    std::string raised;
    Tables tables;
    EXPECT_EQ(RFC_SYS_EXCEPTION, callReceive(c.handle(), L"Z_SIM_MESSAGE", exporting, none, tables, &raised));
    EXPECT_EQ("SYSTEM_FAILURE", raised);
    const LastError e = lastError();
    EXPECT_EQ(RFC_ERROR_SYSTEM_FAILURE, e.group);
    EXPECT_EQ("Message ZSIM 001:", e.message.substr(0, 17));
    EXPECT_EQ(RFC_CLOSED, rfc().RfcIsValidHandleU(c.handle(), nullptr));
    EXPECT_EQ(RFC_CLOSED, call(c.handle(), L"RFC_PING", none, none));
}

TEST(Calls, AsynchronousCallIsSentListenedForAndReceived)
{
    Connection c;
    EXPECT_EQ(RFC_FAILURE, rfc().RfcListenU(c.handle())) << "no call to listen for";
    RFC_INT ms = 300;
    ASSERT_EQ(RFC_OK, startSleep(c.handle(), ms)) << lastError().message;
    EXPECT_EQ(RFC_RETRY, rfc().RfcListenU(c.handle()));
    EXPECT_EQ(RFC_FAILURE, startSleep(c.handle(), ms)) << "one call at a time";
    ASSERT_EQ(RFC_OK, listenUntilDone(c.handle()));
    wchar_t completed[1] = {};
    Parameters importing;
    importing.add(L"COMPLETED", RFCTYPE_CHAR, 2, completed);
    Tables none;
    rfc_char_t* exception = nullptr;
    ASSERT_EQ(RFC_OK, rfc().RfcReceiveExU(c.handle(), importing.get(), nullptr, none.get(), &exception)) << lastError().message;
    EXPECT_EQ(L'X', completed[0]);
    EXPECT_EQ(nullptr, exception);
}

TEST(Calls, CancelEndsTheCallAndTheUserContextButNotTheHandle)
{
    Connection c;
    EXPECT_EQ(1, counter(c.handle()));
    RFC_INT ms = 20000;
    ASSERT_EQ(RFC_OK, startSleep(c.handle(), ms));
    EXPECT_EQ(RFC_RETRY, rfc().RfcListenU(c.handle()));
    EXPECT_EQ(RFC_CANCELED, rfc().RfcCancelU(c.handle(), RFC_CANCEL_HARD)) << lastError().message;
    EXPECT_EQ(RFC_FAILURE, rfc().RfcListenU(c.handle())) << "the call is gone";
    EXPECT_EQ(1, counter(c.handle())) << "a new user context on the same handle";
    EXPECT_EQ(RFC_FAILURE, rfc().RfcCancelU(c.handle(), RFC_CANCEL_HARD)) << "nothing to cancel";

    ASSERT_EQ(RFC_OK, startSleep(c.handle(), ms));
    EXPECT_EQ(RFC_CANCELED, rfc().RfcCancelU(c.handle(), RFC_CANCEL_CLOSE));
    EXPECT_EQ(RFC_CLOSED, rfc().RfcIsValidHandleU(c.handle(), nullptr));
}

TEST(Calls, DroppedConnectionIsReportedClosed)
{
    Connection listened, received;
    std::wstring name = L"Z_SIM_DROP_CONNECTION";
    Parameters none;
    Tables tables;
    ASSERT_EQ(RFC_OK, rfc().RfcCallExU(listened.handle(), name.data(), none.get(), nullptr, tables.get()));
    EXPECT_EQ(RFC_CLOSED, listenUntilDone(listened.handle()));
    EXPECT_EQ(RFC_CLOSED, rfc().RfcIsValidHandleU(listened.handle(), nullptr));
    EXPECT_EQ(RFC_CLOSED, rfc().RfcCallExU(listened.handle(), name.data(), none.get(), nullptr, tables.get()));

    std::string raised;
    EXPECT_EQ(RFC_SYS_EXCEPTION, callReceive(received.handle(), name.c_str(), none, none, tables, &raised));
    EXPECT_EQ("COMMUNICATION_FAILURE", raised);
    EXPECT_EQ(RFC_ERROR_COMMUNICATION, lastError().group);
}

TEST(Calls, TransactionalUnitRunsOncePerTid)
{
    Connection c;
    const std::wstring id = tid(c.handle());
    ASSERT_EQ(24u, id.size());
    EXPECT_NE(id, tid(c.handle()));
    ASSERT_EQ(RFC_OK, submitCounter(c.handle(), id)) << lastError().message;
    ASSERT_EQ(RFC_OK, submitCounter(c.handle(), id)) << "a repeated TID is answered, not run";
    EXPECT_EQ(2, counter(c.handle())) << "the unit ran once, in this connection's context";
    EXPECT_EQ(RFC_OK, rfc().RfcConfirmTransIDU(c.handle(), const_cast<wchar_t*>(id.c_str())));
    EXPECT_EQ(RFC_OK, rfc().RfcConfirmTransIDU(c.handle(), const_cast<wchar_t*>(id.c_str()))) << "confirming again is harmless";
    ASSERT_EQ(RFC_OK, submitCounter(c.handle(), id)) << "a confirmed TID is forgotten";
    EXPECT_EQ(4, counter(c.handle()));
    EXPECT_EQ(RFC_INVALID_PARAMETER, submitCounter(c.handle(), L"SHORT"));
}

TEST(Calls, LogonTicketIsHandedOutOnceWhenAskedFor)
{
    Connection plain;
    std::vector<RFC_CHAR> buffer(8192);
    EXPECT_EQ(RFC_FAILURE, rfc().RfcGetTicketU(plain.handle(), buffer.data()));
    Connection asking(connectString(L"DEMO", L"demo1234", L"GETSSO2=1"));
    ASSERT_EQ(RFC_OK, rfc().RfcGetTicketU(asking.handle(), buffer.data())) << lastError().message;
    const std::wstring ticket(buffer.data());
    EXPECT_GT(ticket.size(), 20u);
    EXPECT_EQ(RFC_FAILURE, rfc().RfcGetTicketU(asking.handle(), buffer.data())) << "once per handle";
    EXPECT_EQ(RFC_INVALID_HANDLE, rfc().RfcGetTicketU(asking.handle() + 1000, buffer.data()));

    Connection byTicket(L"ASHOST=127.0.0.1 SYSNR=00 GWSERV=" + std::to_wstring(gatewayPort()) + L" CLIENT=001 MYSAPSSO2=" + ticket);
    ASSERT_TRUE(byTicket) << utf8(byTicket.openError().message);
    RFC_ATTRIBUTES a{};
    rfc().RfcGetAttributesU(byTicket.handle(), &a);
    EXPECT_EQ("DEMO", utf8(a.user));
}
