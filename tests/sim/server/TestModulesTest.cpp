// The modules that exist for testing clients behave as sim/README.md describes them.
#include "SimClient.h"

#include <gtest/gtest.h>

using namespace simtest;

TEST(TestModules, GeneratedRowsFollowTheDocumentedRules)
{
    SimClient client;
    const SoapReply r = client.call(RfcCall("Z_SIM_GENERATE_ROWS").param("ROWCOUNT", "1000").param("WIDTH", "5"));
    ASSERT_EQ(200, r.status()) << r.document().substr(0, 2000);
    const auto rows = r.rows("ROWS");
    ASSERT_EQ(1000u, rows.size());
    const Row expected = {{"CHAR", "ROW1000"}, {"NUMC", "01000"}, {"DATE", "2002-09-26"}, {"TIME", "10:16:40"},
                          {"BCD", "1000.25"}, {"RAW", "AAAD6A=="}, {"FLOAT", "1000.5"}, {"INT", "2000"},
                          {"INT2", "-14000"}, {"INT1", "232"}, {"STRING", "mnopq"}, {"XSTRING", "A+g="}};
    EXPECT_EQ(expected, rows.back());
    EXPECT_EQ("2000-01-01", rows.front().at("DATE"));

    EXPECT_EQ(10u, client.call(RfcCall("Z_SIM_GENERATE_ROWS").param("ROWCOUNT", "1")).rows("ROWS").front().at("STRING").size())
        << "WIDTH defaults to 10";
    EXPECT_TRUE(client.call(RfcCall("Z_SIM_GENERATE_ROWS").param("ROWCOUNT", "0")).rows("ROWS").empty());
    EXPECT_EQ("TOO_MANY_ROWS", client.call(RfcCall("Z_SIM_GENERATE_ROWS").param("ROWCOUNT", "200001")).exceptionName());
    EXPECT_EQ("INVALID_WIDTH", client.call(RfcCall("Z_SIM_GENERATE_ROWS").param("ROWCOUNT", "1").param("WIDTH", "-1")).exceptionName());
}

TEST(TestModules, ChangingDeepAndTableTypeParameters)
{
    SimClient client;
    EXPECT_EQ("42", client.call(RfcCall("Z_SIM_INCREMENT").param("VALUE", "41")).text("VALUE")) << "STEP defaults to 1";
    EXPECT_EQ("-9", client.call(RfcCall("Z_SIM_INCREMENT").param("VALUE", "1").param("STEP", "-10")).text("VALUE"));
    EXPECT_EQ("OVERFLOW", client.call(RfcCall("Z_SIM_INCREMENT").param("VALUE", "2147483647")).exceptionName());

    const std::string item = "<item><CHAR>a</CHAR><INT>7</INT></item>";
    const SoapReply deep = client.call(RfcCall("Z_SIM_DEEP").param("I_ID", "5").raw(
        "<I_DEEP><ID>9</ID><NAME>Deep</NAME><ADDRESS><STREET>Main 1</STREET><ZIP>123</ZIP></ADDRESS><ITEMS>" + item +
        item + "</ITEMS></I_DEEP>"));
    ASSERT_EQ(200, deep.status()) << deep.document();
    EXPECT_EQ("ID=5 NAME=Deep ITEMS=2", deep.text("E_SUMMARY"));
    EXPECT_EQ("00123", deep.text("E_DEEP/ADDRESS/ZIP"));
    EXPECT_EQ(2u, deep.rows("E_DEEP/ITEMS").size());
    EXPECT_EQ("7", deep.rows("E_DEEP/ITEMS").back().at("INT"));

    const SoapReply table = client.call(RfcCall("Z_SIM_TABLE_TYPE").raw("<T_ITEMS>" + item + item + item + "</T_ITEMS>"));
    EXPECT_EQ("3", table.text("E_COUNT"));
    EXPECT_EQ(3u, table.rows("T_ITEMS").size());
}

TEST(TestModules, WaitsAndRendezvous)
{
    SimClient client;
    EXPECT_EQ("X", client.call(RfcCall("Z_SIM_SLEEP").param("MILLISECONDS", "20")).text("COMPLETED"));
    EXPECT_EQ("INVALID_DURATION", client.call(RfcCall("Z_SIM_SLEEP").param("MILLISECONDS", "60001")).exceptionName());
    EXPECT_EQ("1", client.call(RfcCall("Z_SIM_RENDEZVOUS").param("KEY", "alone").param("PARTIES", "1")).text("POSITION"));
    EXPECT_EQ("TIMEOUT", client.call(RfcCall("Z_SIM_RENDEZVOUS").param("KEY", "nobody").param("PARTIES", "2")
                                          .param("TIMEOUT_MS", "10")).exceptionName());
    EXPECT_EQ("INVALID_PARTIES", client.call(RfcCall("Z_SIM_RENDEZVOUS").param("KEY", "k").param("PARTIES", "65")).exceptionName());
}

TEST(TestModules, DroppedConnectionLeavesTheServerServing)
{
    SimClient client;
    EXPECT_THROW(client.call(RfcCall("Z_SIM_DROP_CONNECTION")), std::runtime_error);
    EXPECT_FALSE(client.connected());
    EXPECT_EQ(200, client.call(RfcCall("RFC_PING")).status());
}

TEST(TestModules, MessagesAndLogonParametersOverSoap)
{
    SimClient client;
    const SoapReply message = client.call(RfcCall("Z_SIM_MESSAGE").param("MSGTY", "A").param("MSGV1", "one"));
    EXPECT_EQ(500, message.status());
    EXPECT_EQ("soap-env:Server", message.faultCode());
    EXPECT_EQ("ABAP_MESSAGE", message.errorType());
    EXPECT_EQ("Message ZSIM 001: one", message.errorMessage());
    EXPECT_EQ("INVALID_TYPE", client.call(RfcCall("Z_SIM_MESSAGE").param("MSGTY", "W")).exceptionName());
    EXPECT_EQ("NO_RFC_CONNECTION", client.call(RfcCall("Z_SIM_LOGON_PARAMETERS")).exceptionName())
        << "logon parameters exist for gateway connections only";
}

TEST(TestModules, DecimalFloatingPointNumbers)
{
    SimClient client;
    const SoapReply echo = client.call(RfcCall("Z_SIM_DECFLOAT").param("I_DECF16", "+1.5e3").param("I_DECF34", "-1234567890123456789012345678.901234"));
    ASSERT_EQ(200, echo.status()) << echo.document();
    EXPECT_EQ("1.5E3", echo.text("E_DECF16"));
    EXPECT_EQ("-1234567890123456789012345678.901234", echo.text("E_DECF34"));
    EXPECT_EQ("CONVERSION_ERROR", client.call(RfcCall("Z_SIM_DECFLOAT").param("I_DECF16", "12345678901234567")).errorType())
        << "17 digits do not fit 16";
    EXPECT_EQ("CONVERSION_ERROR", client.call(RfcCall("Z_SIM_DECFLOAT").param("I_DECF34", "1.2.3")).errorType());
}
