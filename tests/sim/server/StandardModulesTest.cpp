// The standard modules clients rely on, called as a client would call them.
#include "SimClient.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace {

const std::string rfcNamespace = "urn:sap-com:document:sap:rfc:functions";

std::string importStruct(const std::string& int4)
{
    return "<RFCFLOAT>1.5</RFCFLOAT><RFCCHAR1>A</RFCCHAR1><RFCINT2>-12</RFCINT2><RFCINT1>200</RFCINT1>"
           "<RFCCHAR4>ABCD</RFCCHAR4><RFCINT4>" + int4 + "</RFCINT4><RFCHEX3>AQID</RFCHEX3><RFCCHAR2>ZZ</RFCCHAR2>"
           "<RFCTIME>134559</RFCTIME><RFCDATE>20240229</RFCDATE><RFCDATA1>data one</RFCDATA1><RFCDATA2>data two</RFCDATA2>";
}

} // namespace

TEST(StandardModules, PingAnswersWithAnEmptyResponseElement)
{
    SimClient client;
    const SoapReply r = client.call(RfcCall("RFC_PING"));
    ASSERT_EQ(200, r.status()) << r.document();
    ASSERT_TRUE(r.parsed()) << r.document();
    EXPECT_EQ("RFC_PING.Response", r.localName(r.bodyElement()));
    EXPECT_EQ(rfcNamespace, r.namespaceOf(r.bodyElement()));
    EXPECT_TRUE(r.parameterNames().empty());
}

TEST(StandardModules, StfcConnectionEchoesTextAndNamesTheLogon)
{
    SimClient client({"demo", "demo1234", "001", "DE"});
    const std::string text = "  <Grüße> & \"quotes\" 'apostrophes' ☃";
    const SoapReply r = client.call(RfcCall("STFC_CONNECTION").param("REQUTEXT", text));
    ASSERT_EQ(200, r.status()) << r.document();
    EXPECT_EQ(text, r.text("ECHOTEXT"));
    EXPECT_NE(std::string::npos, r.text("RESPTEXT").find("001/DEMO/DE")) << r.text("RESPTEXT");
    // Unqualified parameters, exporting ones only.
    EXPECT_EQ((std::vector<std::string>{"ECHOTEXT", "RESPTEXT"}), r.parameterNames());

    const SoapReply cut = client.call(RfcCall("STFC_CONNECTION").param("REQUTEXT", std::string(250, 'x') + "ÄÖÜäöü"));
    EXPECT_EQ(std::string(250, 'x') + "ÄÖÜäö", cut.text("ECHOTEXT")) << "a C 255 field holds 255 characters";
}

TEST(StandardModules, StfcStructureEchoesTheStructureAndAppendsItToTheTable)
{
    SimClient client;
    const SoapReply r = client.call(RfcCall("STFC_STRUCTURE")
                                        .raw("<IMPORTSTRUCT>" + importStruct("123456") + "</IMPORTSTRUCT>")
                                        .raw("<RFCTABLE><item><RFCINT4>1</RFCINT4></item><item><RFCINT4>2</RFCINT4>"
                                             "<RFCDATA1>second</RFCDATA1></item></RFCTABLE>"));
    ASSERT_EQ(200, r.status()) << r.document();
    const Row echo = r.record("ECHOSTRUCT");
    const Row expected = {{"RFCFLOAT", "1.5"}, {"RFCCHAR1", "A"}, {"RFCINT2", "-12"}, {"RFCINT1", "200"},
                          {"RFCCHAR4", "ABCD"}, {"RFCINT4", "123456"}, {"RFCHEX3", "AQID"}, {"RFCCHAR2", "ZZ"},
                          {"RFCTIME", "13:45:59"}, {"RFCDATE", "2024-02-29"}, {"RFCDATA1", "data one"},
                          {"RFCDATA2", "data two"}};
    EXPECT_EQ(expected, echo);

    const auto rows = r.rows("RFCTABLE");
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ("1", rows[0].at("RFCINT4"));
    EXPECT_EQ("0000-00-00", rows[0].at("RFCDATE")) << "fields not sent keep their initial value";
    EXPECT_EQ("00:00:00", rows[0].at("RFCTIME"));
    EXPECT_EQ("AAAA", rows[0].at("RFCHEX3"));
    EXPECT_EQ("second", rows[1].at("RFCDATA1"));
    EXPECT_EQ(expected, rows[2]);
    EXPECT_NE(std::string::npos, r.text("RESPTEXT").find("2 rows received")) << r.text("RESPTEXT");
}

TEST(StandardModules, SystemQueries)
{
    SimClient client({"DEMO", "demo1234", "001", "de"});
    EXPECT_EQ("1", client.call(RfcCall("SLDAG_CHECK_FOR_UNICODE")).text("UNICODE"));
    const SoapReply a = client.call(RfcCall("RFC_GET_ATTRIBUTES"));
    ASSERT_EQ(200, a.status()) << a.document();
    EXPECT_EQ("001", a.text("CLIENT"));
    EXPECT_EQ("DEMO", a.text("USER"));
    EXPECT_EQ("DE", a.text("LANGUAGE"));
    EXPECT_EQ("SIM", a.text("SYSID"));
}

TEST(StandardModules, LoginCheckReportsAnExpiredPassword)
{
    SimClient demo;
    EXPECT_EQ(200, demo.call(RfcCall("SUSR_LOGIN_CHECK_RFC")).status());

    SimClient expired({"EXPIRED", "expired1"});
    const SoapReply r = expired.call(RfcCall("SUSR_LOGIN_CHECK_RFC"));
    ASSERT_EQ(500, r.status()) << r.document();
    EXPECT_EQ("SUSR_LOGIN_CHECK_RFC.Exception", r.localName(r.faultDetail()));
    EXPECT_EQ("PASSWORD_EXPIRED", r.exceptionName());
}

TEST(StandardModules, ChangePasswordChecksBothPasswordsAndEndsTheExpiry)
{
    SimClient user({"PWCHANGE", "pwchange1"});
    auto change = [&](const std::string& old, const std::string& next) {
        return user.call(RfcCall("SUSR_USER_CHANGE_PASSWORD_RFC").param("PASSWORD", old).param("NEW_PASSWORD", next));
    };
    EXPECT_EQ("CHANGE_NOT_ALLOWED", change("wrong", "newpass99").exceptionName());
    EXPECT_EQ("PASSWORD_NOT_ALLOWED", change("pwchange1", "short").exceptionName());
    EXPECT_EQ("PASSWORD_NOT_ALLOWED", change("pwchange1", "pwchange1").exceptionName());
    ASSERT_EQ(200, change("pwchange1", "newpass99").status());

    EXPECT_EQ(401, user.call(RfcCall("RFC_PING")).status()) << "the old password no longer works";
    SimClient renewed({"PWCHANGE", "newpass99"});
    EXPECT_EQ(200, renewed.call(RfcCall("SUSR_LOGIN_CHECK_RFC")).status()) << "no longer expired";
    EXPECT_EQ(200, renewed.call(RfcCall("STFC_CONNECTION")).status());
}
