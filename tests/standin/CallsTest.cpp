// Calls: exceptions, messages, namespaces, sessions, lost connections and transactional units.
#include "StandIn.h"

#include <gtest/gtest.h>

using namespace standin;

namespace {

int counter(RFC_CONNECTION_HANDLE c)
{
    Function f(c, L"Z_SIM_COUNTER");
    Error e;
    EXPECT_EQ(RFC_OK, f.invoke(c, e)) << e.text();
    return integer(f.handle(), L"COUNT");
}

} // namespace

TEST(Calls, AbapExceptionNamesItselfAndLeavesTheConnectionOpen)
{
    Connection c(logon());
    Function f(c.handle(), L"Z_SIM_RAISE");
    setChars(f.handle(), L"EXCEPTION", L"TEST_EXCEPTION");
    setChars(f.handle(), L"MESSAGE", L"raised on purpose");
    Error e;
    EXPECT_EQ(RFC_ABAP_EXCEPTION, f.invoke(c.handle(), e));
    EXPECT_EQ(RFC_GROUP_ABAP_APPLICATION_FAILURE, e.group);
    EXPECT_EQ("TEST_EXCEPTION", e.key());
    EXPECT_EQ("raised on purpose", e.text());
    EXPECT_EQ(1, counter(c.handle()));
}

TEST(Calls, TablesAreReadableAfterAnException)
{
    Connection c(logon());
    Function f(c.handle(), L"Z_SIM_GENERATE_ROWS");
    setChars(f.handle(), L"ROWCOUNT", L"3");
    setChars(f.handle(), L"WIDTH", L"-1");
    RFC_TABLE_HANDLE rows = f.table(L"ROWS");
    Error e;
    nw().RfcAppendNewRows(rows, 2, &e);
    EXPECT_EQ(RFC_ABAP_EXCEPTION, f.invoke(c.handle(), e));
    EXPECT_EQ("INVALID_WIDTH", e.key());
    EXPECT_EQ(0u, rowCount(rows)) << "the table came back as the module left it: emptied";
}

TEST(Calls, AbapMessageCarriesItsFieldsAndClosesTheConnection)
{
    Connection c(logon());
    Function f(c.handle(), L"Z_SIM_MESSAGE");
    setChars(f.handle(), L"MSGTY", L"A");
    setChars(f.handle(), L"MSGV1", L"first");
    setChars(f.handle(), L"MSGV4", L"fourth");
    Error e;
    EXPECT_EQ(RFC_ABAP_MESSAGE, f.invoke(c.handle(), e));
    EXPECT_EQ(RFC_GROUP_ABAP_RUNTIME_FAILURE, e.group);
    EXPECT_EQ("A", utf8(e.abapMsgType));
    EXPECT_EQ("ZSIM", utf8(e.abapMsgClass));
    EXPECT_EQ("001", utf8(e.abapMsgNumber));
    EXPECT_EQ("first", utf8(e.abapMsgV1));
    EXPECT_EQ("fourth", utf8(e.abapMsgV4));
    EXPECT_EQ("Message ZSIM 001: first fourth", e.text());
    int valid = 1;
    EXPECT_EQ(RFC_INVALID_HANDLE, nw().RfcIsConnectionHandleValid(c.handle(), &valid, &e));
    EXPECT_EQ(0, valid);
    EXPECT_EQ(RFC_INVALID_HANDLE, f.invoke(c.handle(), e));
}

TEST(Calls, NamespacedModule)
{
    Connection c(logon());
    Function f(c.handle(), L"/SIM/ECHO");
    setChars(f.handle(), L"TEXT", L"from a namespace");
    Error e;
    ASSERT_EQ(RFC_OK, f.invoke(c.handle(), e)) << e.text();
    EXPECT_EQ(L"from a namespace", string(f.handle(), L"ECHO"));
}

TEST(Calls, EachConnectionIsOneSession)
{
    Connection a(logon()), b(logon());
    EXPECT_EQ(1, counter(a.handle()));
    EXPECT_EQ(2, counter(a.handle()));
    EXPECT_EQ(1, counter(b.handle()));
    EXPECT_EQ(3, counter(a.handle()));
}

TEST(Calls, ConnectionDroppedByThePartner)
{
    Connection c(logon());
    Function f(c.handle(), L"Z_SIM_DROP_CONNECTION");
    Error e;
    EXPECT_EQ(RFC_COMMUNICATION_FAILURE, f.invoke(c.handle(), e));
    EXPECT_EQ(RFC_GROUP_COMMUNICATION_FAILURE, e.group);
    EXPECT_EQ(RFC_INVALID_HANDLE, nw().RfcPing(c.handle(), &e));
}

TEST(Calls, UnitRunsOnceHoweverOftenItIsSubmitted)
{
    Connection c(logon());
    Error e;
    RFC_TID tid{};
    ASSERT_EQ(RFC_OK, nw().RfcGetTransactionID(c.handle(), tid, &e));
    ASSERT_EQ(24u, std::wcslen(tid));
    RFC_TRANSACTION_HANDLE t = nw().RfcCreateTransaction(c.handle(), tid, nullptr, &e);
    ASSERT_NE(nullptr, t) << e.text();
    Function call(c.handle(), L"Z_SIM_COUNTER");
    ASSERT_EQ(RFC_OK, nw().RfcInvokeInTransaction(t, call.handle(), &e));
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(RFC_OK, nw().RfcSubmitTransaction(t, &e)) << e.text();
    EXPECT_EQ(2, counter(c.handle())) << "the unit ran once in this connection's session";
    ASSERT_EQ(RFC_OK, nw().RfcConfirmTransaction(t, &e));
    ASSERT_EQ(RFC_OK, nw().RfcSubmitTransaction(t, &e)) << "a confirmed TID is forgotten";
    EXPECT_EQ(4, counter(c.handle()));
    EXPECT_EQ(RFC_OK, nw().RfcDestroyTransaction(t, &e));

    RFC_TID local{};
    ASSERT_EQ(RFC_OK, nw().RfcGetTransactionID(nullptr, local, &e)) << "without a connection the TID is made locally";
    EXPECT_EQ(24u, std::wcslen(local));
    EXPECT_NE(std::wstring(tid), std::wstring(local));
    EXPECT_EQ(nullptr, nw().RfcCreateTransaction(c.handle(), const_cast<SAP_UC*>(L"SHORT"), nullptr, &e));
    EXPECT_EQ(RFC_INVALID_PARAMETER, e.code);
}
