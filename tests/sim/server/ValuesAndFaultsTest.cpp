// Value forms of every ABAP type on the way in and out, the shape of responses, and the two
// kinds of fault: an exception of the module, and a failure of the call itself.
#include "SimClient.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace {

const std::string rfcNamespace = "urn:sap-com:document:sap:rfc:functions";

SoapReply echo(SimClient& client, const std::string& type, const std::string& value)
{
    return client.call(RfcCall("Z_SIM_ECHO_TYPES").param("I_" + type, value));
}

std::string allTypes(const std::string& n)
{
    return "<CHAR>row " + n + "</CHAR><NUMC>" + n + "</NUMC><DATE>2024-03-0" + n + "</DATE><TIME>12000" + n +
           "</TIME><BCD>-" + n + ".5</BCD><RAW>AQIDBA==</RAW><FLOAT>" + n + ".25</FLOAT><INT>-" + n +
           "</INT><INT2>" + n + "</INT2><INT1>" + n + "</INT1><STRING>string " + n +
           "</STRING><XSTRING>/w==</XSTRING>";
}

} // namespace

TEST(Values, EveryTypeReadsTheClientFormsAndAnswersInItsOwn)
{
    struct Case {
        const char* type;
        std::string in, out;
    };
    const Case cases[] = {
        {"CHAR", "abcdefghijKLM", "abcdefghij"}, {"CHAR", "  lead  ", "  lead"}, {"CHAR", "Grüße ☃", "Grüße ☃"},
        {"NUMC", "42", "00042"}, {"NUMC", "00000042", "00042"}, {"NUMC", "", "00000"},
        {"DATE", "20240229", "2024-02-29"}, {"DATE", "2024-02-29", "2024-02-29"}, {"DATE", "20240230", "2024-02-30"},
        {"DATE", "", "0000-00-00"},
        {"TIME", "134559", "13:45:59"}, {"TIME", "13:45:59", "13:45:59"}, {"TIME", "", "00:00:00"},
        {"BCD", "12.345", "12.35"}, {"BCD", "9.995", "10.00"}, {"BCD", "-0.004", "0.00"}, {"BCD", "12.5-", "-12.50"},
        {"BCD", " 7 ", "7.00"}, {"BCD", "9999999999999.99", "9999999999999.99"},
        {"RAW", "3q2+7w==", "3q2+7w=="}, {"RAW", "3q0=", "3q0AAA=="}, {"RAW", "", "AAAAAA=="},
        {"FLOAT", "1.5", "1.5"}, {"FLOAT", "1E3", "1000"}, {"FLOAT", "-2.5e-3", "-0.0025"}, {"FLOAT", "", "0"},
        {"INT", "-2147483648", "-2147483648"}, {"INT", "+17", "17"}, {"INT2", "-32768", "-32768"},
        {"INT1", "255", "255"}, {"STRING", std::string(3000, 'z') + "ß", std::string(3000, 'z') + "ß"},
        {"XSTRING", "AAECAwQFBgcICQoLDA0ODw==", "AAECAwQFBgcICQoLDA0ODw=="},
    };
    SimClient client;
    for (const Case& c : cases) {
        const SoapReply r = echo(client, c.type, c.in);
        ASSERT_EQ(200, r.status()) << c.type << " '" << c.in << "': " << r.document();
        EXPECT_EQ(c.out, r.text(std::string("E_") + c.type)) << c.type << " '" << c.in << "'";
    }
}

TEST(Values, StructuresAndTablesComeBackUnchanged)
{
    SimClient client;
    const SoapReply r = client.call(RfcCall("Z_SIM_ECHO_TYPES")
                                        .raw("<I_STRUCT>" + allTypes("1") + "</I_STRUCT>")
                                        .raw("<T_ROWS><item>" + allTypes("2") + "</item><item>" + allTypes("3") +
                                             "</item><item/></T_ROWS>"));
    ASSERT_EQ(200, r.status()) << r.document();
    const Row expected1 = {{"CHAR", "row 1"}, {"NUMC", "00001"}, {"DATE", "2024-03-01"}, {"TIME", "12:00:01"},
                           {"BCD", "-1.50"}, {"RAW", "AQIDBA=="}, {"FLOAT", "1.25"}, {"INT", "-1"}, {"INT2", "1"},
                           {"INT1", "1"}, {"STRING", "string 1"}, {"XSTRING", "/w=="}};
    EXPECT_EQ(expected1, r.record("E_STRUCT"));
    const auto rows = r.rows("T_ROWS");
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ("row 3", rows[1].at("CHAR"));
    EXPECT_EQ("0000-00-00", rows[2].at("DATE")) << "an empty item is a row of initial values";
    EXPECT_EQ("", rows[2].at("STRING"));
}

TEST(Values, RefusesValuesThatDoNotFitTheirType)
{
    const std::pair<const char*, const char*> cases[] = {
        {"INT1", "256"}, {"INT1", "-1"}, {"INT2", "40000"}, {"INT", "2147483648"}, {"INT", "12x"}, {"INT", "1.0"},
        {"NUMC", "12a"}, {"NUMC", "123456"}, {"BCD", "1e5"}, {"BCD", "10000000000000"}, {"BCD", "9999999999999.995"},
        {"BCD", "1.2.3"}, {"FLOAT", "nan"}, {"FLOAT", "1,5"}, {"FLOAT", "1e999"}, {"DATE", "2024/01/01"},
        {"DATE", "2024-1-1"}, {"TIME", "1:2:3"}, {"RAW", "!!!"}, {"XSTRING", "abc"},
    };
    SimClient client;
    for (const auto& [type, value] : cases) {
        const SoapReply r = echo(client, type, value);
        ASSERT_EQ(500, r.status()) << type << " '" << value << "'";
        EXPECT_EQ("CONVERSION_ERROR", r.errorType()) << type << " '" << value << "'";
        EXPECT_NE(std::string::npos, r.errorMessage().find(std::string("I_") + type)) << r.errorMessage();
    }
}

TEST(Faults, ExceptionNamesTheModuleAndTheException)
{
    SimClient client;
    const SoapReply r = client.call(RfcCall("Z_SIM_RAISE").param("EXCEPTION", "MY_ERROR").param("MESSAGE", "went <wrong>"));
    ASSERT_EQ(500, r.status()) << r.document();
    EXPECT_EQ("Fault", r.localName(r.bodyElement()));
    EXPECT_EQ("http://schemas.xmlsoap.org/soap/envelope/", r.namespaceOf(r.bodyElement()));
    EXPECT_EQ("Z_SIM_RAISE.Exception", r.localName(r.faultDetail()));
    EXPECT_EQ(rfcNamespace, r.namespaceOf(r.faultDetail()));
    EXPECT_EQ("MY_ERROR", r.exceptionName());
    EXPECT_EQ("went <wrong>", r.exceptionText());

    const SoapReply declared = client.call(RfcCall("Z_SIM_RAISE").param("EXCEPTION", "TEST_EXCEPTION"));
    EXPECT_EQ("Raised on request", declared.exceptionText()) << "without a message the exception's own text";
    EXPECT_EQ(200, client.call(RfcCall("Z_SIM_RAISE").param("EXCEPTION", "")).status());
}

TEST(Faults, FailuresOfTheCallCarryTypeAndMessage)
{
    const std::string echoNs = "xmlns:m=\"" + rfcNamespace + "\"";
    struct Case {
        RfcCall call;
        const char* type;
    };
    Case cases[] = {
        {RfcCall("Z_NO_SUCH_MODULE"), "FUNCTION_NOT_FOUND"},
        {std::move(RfcCall("STFC_CONNECTION").param("NO_SUCH_PARAMETER", "x")), "PARAMETER_UNKNOWN"},
        {std::move(RfcCall("STFC_CONNECTION").raw("<m:REQUTEXT>qualified</m:REQUTEXT>")), "PARAMETER_UNKNOWN"},
        {std::move(RfcCall("Z_SIM_ECHO_TYPES").raw("<I_STRUCT><NO_FIELD>1</NO_FIELD></I_STRUCT>")), "PARAMETER_UNKNOWN"},
        {std::move(RfcCall("Z_SIM_ECHO_TYPES").raw("<I_STRUCT>text</I_STRUCT>")), "CONVERSION_ERROR"},
        {std::move(RfcCall("Z_SIM_ECHO_TYPES").raw("<I_CHAR><x/></I_CHAR>")), "CONVERSION_ERROR"},
        {std::move(RfcCall("Z_SIM_ECHO_TYPES").raw("<T_ROWS><row/></T_ROWS>")), "CONVERSION_ERROR"},
        {std::move(RfcCall("Z_SIM_ECHO_TYPES").raw("<I_STRUCT><INT>1</INT><INT>2</INT></I_STRUCT>")), "CONVERSION_ERROR"},
        {std::move(RfcCall("STFC_CONNECTION").param("REQUTEXT", "a").param("REQUTEXT", "b")), "REQUEST_INVALID"},
    };
    SimClient client;
    for (const Case& c : cases) {
        const SoapReply r = client.call(c.call);
        ASSERT_EQ(500, r.status()) << c.call.envelope();
        EXPECT_EQ("Error", r.localName(r.faultDetail())) << r.document();
        EXPECT_EQ(rfcNamespace, r.namespaceOf(r.faultDetail()));
        EXPECT_EQ(c.type, r.errorType()) << c.call.envelope() << "\n" << r.document();
        EXPECT_FALSE(r.errorMessage().empty());
    }
}

TEST(Faults, EnvelopesThatAreNoRfcRequest)
{
    const std::string soap = "http://schemas.xmlsoap.org/soap/envelope/";
    const std::string documents[] = {
        "<e:Envelope xmlns:e=\"urn:other\"><e:Body><m:RFC_PING xmlns:m=\"" + rfcNamespace + "\"/></e:Body></e:Envelope>",
        "<e:Envelope xmlns:e=\"" + soap + "\"><e:Body><m:RFC_PING xmlns:m=\"urn:other\"/></e:Body></e:Envelope>",
        "<e:Envelope xmlns:e=\"" + soap + "\"><e:Body><m:RFC_PING xmlns:m=\"" + rfcNamespace + "\"/><m:RFC_PING xmlns:m=\"" +
            rfcNamespace + "\"/></e:Body></e:Envelope>",
        "<e:Envelope xmlns:e=\"" + soap + "\"><e:Header/></e:Envelope>",
        // A default namespace on the request element qualifies the parameters too.
        "<e:Envelope xmlns:e=\"" + soap + "\"><e:Body><STFC_CONNECTION xmlns=\"" + rfcNamespace +
            "\"><REQUTEXT>x</REQUTEXT></STFC_CONNECTION></e:Body></e:Envelope>",
    };
    SimClient client;
    for (const std::string& d : documents) {
        const HttpReply reply = client.request("POST", client.soapTarget(), d);
        const SoapReply r(reply.status, reply.body);
        EXPECT_EQ(500, r.status()) << d;
        EXPECT_TRUE(r.errorType() == "REQUEST_INVALID" || r.errorType() == "PARAMETER_UNKNOWN") << d << "\n" << r.document();
    }
}

TEST(Shapes, ClientsMaySendExportingParametersAndSoap12)
{
    SimClient client;
    const SoapReply r = client.call(RfcCall("Z_SIM_ECHO_TYPES").param("I_CHAR", "in").param("E_CHAR", "ignored"));
    EXPECT_EQ("in", r.text("E_CHAR"));

    const std::string soap12 = "<e:Envelope xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\"><e:Body><m:_-SIM_-ECHO xmlns:m=\"" +
                               rfcNamespace + "\"><TEXT>namespaced</TEXT></m:_-SIM_-ECHO></e:Body></e:Envelope>";
    const HttpReply reply = client.request("POST", client.soapTarget(), soap12);
    const SoapReply echo(reply.status, reply.body);
    ASSERT_EQ(200, echo.status()) << echo.document();
    EXPECT_EQ("_-SIM_-ECHO.Response", echo.localName(echo.bodyElement()));
    EXPECT_EQ("namespaced", echo.text("ECHO"));
    EXPECT_EQ("text/xml; charset=utf-8", reply.header("content-type"));
}
