// Values through Z_SIM_ECHO_TYPES and the library's conversions and their refusals.
#include "StandIn.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cwchar>

using namespace standin;

namespace {

class Values : public ::testing::Test {
protected:
    Connection connection{logon()};
    Function echo{connection.handle(), L"Z_SIM_ECHO_TYPES"};
    Error e;

    RFC_FUNCTION_HANDLE f() const { return echo.handle(); }
    void invoke()
    {
        ASSERT_EQ(RFC_OK, echo.invoke(connection.handle(), e)) << e.text();
    }
};

} // namespace

TEST_F(Values, EveryTypeGoesToTheSystemAndComesBack)
{
    const SAP_RAW raw[] = {0xDE, 0xAD, 0xBE, 0xEF};
    const SAP_RAW xstring[] = {0x00, 0xFF, 0x10};
    setChars(f(), L"I_CHAR", L"Hällo");
    ASSERT_EQ(RFC_OK, nw().RfcSetNum(f(), L"I_NUMC", L"42", 2, &e));
    ASSERT_EQ(RFC_OK, nw().RfcSetDate(f(), L"I_DATE", L"20240229", &e));
    ASSERT_EQ(RFC_OK, nw().RfcSetTime(f(), L"I_TIME", L"235958", &e));
    setChars(f(), L"I_BCD", L"-1234.567");
    ASSERT_EQ(RFC_OK, nw().RfcSetBytes(f(), L"I_RAW", raw, 4, &e));
    ASSERT_EQ(RFC_OK, nw().RfcSetFloat(f(), L"I_FLOAT", 0.1, &e));
    ASSERT_EQ(RFC_OK, nw().RfcSetInt(f(), L"I_INT", -2147483647 - 1, &e));
    ASSERT_EQ(RFC_OK, nw().RfcSetInt2(f(), L"I_INT2", -32768, &e));
    ASSERT_EQ(RFC_OK, nw().RfcSetInt1(f(), L"I_INT1", 255, &e));
    ASSERT_EQ(RFC_OK, nw().RfcSetString(f(), L"I_STRING", L"trailing  ", 10, &e));
    ASSERT_EQ(RFC_OK, nw().RfcSetXString(f(), L"I_XSTRING", xstring, 3, &e));
    RFC_STRUCTURE_HANDLE in = echo.structure(L"I_STRUCT");
    setChars(in, L"CHAR", L"inner");
    ASSERT_EQ(RFC_OK, nw().RfcSetInt(in, L"INT", 7, &e));
    invoke();

    EXPECT_EQ(L"Hällo     ", chars(f(), L"E_CHAR", 10));
    EXPECT_EQ(L"00042", chars(f(), L"E_NUMC", 5));
    RFC_DATE date;
    RFC_TIME time;
    ASSERT_EQ(RFC_OK, nw().RfcGetDate(f(), L"E_DATE", date, &e));
    ASSERT_EQ(RFC_OK, nw().RfcGetTime(f(), L"E_TIME", time, &e));
    EXPECT_EQ(L"20240229", std::wstring(date, 8));
    EXPECT_EQ(L"235958", std::wstring(time, 6));
    EXPECT_EQ(L"-1234.57", string(f(), L"E_BCD")) << "rounded half away from zero to two decimals";
    SAP_RAW back[4] = {};
    ASSERT_EQ(RFC_OK, nw().RfcGetBytes(f(), L"E_RAW", back, 4, &e));
    EXPECT_EQ(0, std::memcmp(raw, back, 4));
    RFC_FLOAT number = 0;
    ASSERT_EQ(RFC_OK, nw().RfcGetFloat(f(), L"E_FLOAT", &number, &e));
    EXPECT_EQ(0.1, number) << "floats travel without loss";
    EXPECT_EQ(-2147483647 - 1, integer(f(), L"E_INT"));
    RFC_INT2 int2 = 0;
    RFC_INT1 int1 = 0;
    nw().RfcGetInt2(f(), L"E_INT2", &int2, &e);
    nw().RfcGetInt1(f(), L"E_INT1", &int1, &e);
    EXPECT_EQ(-32768, int2);
    EXPECT_EQ(255, int1);
    EXPECT_EQ(L"trailing  ", string(f(), L"E_STRING")) << "a string keeps its trailing blanks";
    unsigned length = 0;
    SAP_RAW xback[8] = {};
    ASSERT_EQ(RFC_OK, nw().RfcGetXString(f(), L"E_XSTRING", xback, 8, &length, &e));
    EXPECT_EQ(3u, length);
    EXPECT_EQ(0, std::memcmp(xstring, xback, 3));
    RFC_STRUCTURE_HANDLE out = echo.structure(L"E_STRUCT");
    EXPECT_EQ(L"inner", string(out, L"CHAR"));
    EXPECT_EQ(7, integer(out, L"INT"));
}

TEST_F(Values, SettersRefuseWhatDoesNotFit)
{
    struct Case {
        const wchar_t* field;
        const wchar_t* text;
        RFC_RC code;
    } cases[] = {
        {L"I_CHAR", L"eleven char", RFC_CONVERSION_FAILURE}, // too long
        {L"I_CHAR", L"ten chars!   ", RFC_OK},                // only trailing blanks cut
        {L"I_NUMC", L"123456", RFC_CONVERSION_FAILURE},      // too many digits
        {L"I_NUMC", L"12a", RFC_CONVERSION_FAILURE},          // not a number
        {L"I_DATE", L"2024-02-29", RFC_CONVERSION_FAILURE},   // not YYYYMMDD
        {L"I_BCD", L"12345678901234.5", RFC_CONVERSION_FAILURE}, // 14 digits before the point, 13 fit
        {L"I_BCD", L"12x", RFC_CONVERSION_FAILURE},
        {L"I_INT", L"2147483648", RFC_CONVERSION_FAILURE},    // out of range
        {L"I_INT", L"  -17 ", RFC_OK},
        {L"I_INT1", L"256", RFC_CONVERSION_FAILURE},
        {L"I_INT2", L"4.5", RFC_CONVERSION_FAILURE},
        {L"I_FLOAT", L"abc", RFC_CONVERSION_FAILURE},
        {L"I_RAW", L"ABC", RFC_CONVERSION_FAILURE},           // odd number of hex digits
        {L"I_RAW", L"0102030405", RFC_CONVERSION_FAILURE},    // five bytes into four
        {L"I_RAW", L"0A0B", RFC_OK},
        {L"I_STRUCT", L"x", RFC_CONVERSION_FAILURE},          // wrong type
        {L"NO_SUCH", L"x", RFC_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        const RFC_RC rc = nw().RfcSetChars(f(), c.field, c.text, static_cast<unsigned>(std::wcslen(c.text)), &e);
        EXPECT_EQ(c.code, rc) << utf8(c.field) << " <- '" << utf8(c.text) << "': " << e.text();
        EXPECT_EQ(c.code, e.code) << "the error record carries the code";
    }
    EXPECT_EQ(RFC_CONVERSION_FAILURE, nw().RfcSetInt(f(), L"I_DATE", 5, &e)) << "no integer into a date";
    EXPECT_EQ(RFC_CONVERSION_FAILURE, nw().RfcSetInt(f(), L"I_INT2", 40000, &e));
    EXPECT_EQ(RFC_CONVERSION_FAILURE, nw().RfcSetFloat(f(), L"I_INT", 1.5, &e));
    EXPECT_EQ(RFC_CONVERSION_FAILURE, nw().RfcSetNum(f(), L"I_NUMC", L"-1", 2, &e));
}

TEST_F(Values, GettersConvertAndReportSmallBuffers)
{
    setChars(f(), L"I_CHAR", L"12");
    setChars(f(), L"I_BCD", L"3.5");
    setChars(f(), L"I_INT", L"-8");
    invoke();
    RFC_INT n = 0;
    EXPECT_EQ(RFC_OK, nw().RfcGetInt(f(), L"E_CHAR", &n, &e));
    EXPECT_EQ(12, n) << "digits in a character field read as a number";
    EXPECT_EQ(RFC_CONVERSION_FAILURE, nw().RfcGetInt(f(), L"E_BCD", &n, &e)) << "3.50 is no integer";
    RFC_FLOAT x = 0;
    EXPECT_EQ(RFC_OK, nw().RfcGetFloat(f(), L"E_BCD", &x, &e));
    EXPECT_EQ(3.5, x);
    RFC_INT1 small = 0;
    EXPECT_EQ(RFC_CONVERSION_FAILURE, nw().RfcGetInt1(f(), L"E_INT", &small, &e)) << "-8 does not fit INT1";
    EXPECT_EQ(L"-8", string(f(), L"E_INT"));
    RFC_DATE date;
    EXPECT_EQ(RFC_CONVERSION_FAILURE, nw().RfcGetDate(f(), L"E_INT", date, &e));

    wchar_t buffer[4];
    EXPECT_EQ(RFC_BUFFER_TOO_SMALL, nw().RfcGetChars(f(), L"E_NUMC", buffer, 4, &e));
    EXPECT_EQ(RFC_OK, nw().RfcGetChars(f(), L"E_CHAR", buffer, 2, &e)) << "trailing blanks may be cut";
    unsigned length = 0;
    EXPECT_EQ(RFC_BUFFER_TOO_SMALL, nw().RfcGetString(f(), L"E_CHAR", buffer, 2, &length, &e));
    EXPECT_EQ(2u, length) << "the needed length comes with the refusal";
    SAP_RAW bytes[2];
    EXPECT_EQ(RFC_BUFFER_TOO_SMALL, nw().RfcGetXString(f(), L"E_RAW", bytes, 2, &length, &e));
    EXPECT_EQ(4u, length);
    EXPECT_EQ(L"00000000", chars(f(), L"E_RAW", 8)) << "bytes read as characters are hexadecimal";
}

TEST_F(Values, InactiveParametersAreNeitherSentNorReturned)
{
    setChars(f(), L"I_CHAR", L"sent");
    setChars(f(), L"I_INT", L"5");
    ASSERT_EQ(RFC_OK, nw().RfcSetParameterActive(f(), L"I_INT", 0, &e));
    ASSERT_EQ(RFC_OK, nw().RfcSetParameterActive(f(), L"E_CHAR", 0, &e));
    int active = 1;
    ASSERT_EQ(RFC_OK, nw().RfcIsParameterActive(f(), L"E_CHAR", &active, &e));
    EXPECT_EQ(0, active);
    invoke();
    EXPECT_EQ(0, integer(f(), L"E_INT")) << "the inactive input did not reach the module";
    EXPECT_EQ(L"", string(f(), L"E_CHAR")) << "the inactive output was not written";

    Function rows(connection.handle(), L"Z_SIM_GENERATE_ROWS");
    setChars(rows.handle(), L"ROWCOUNT", L"2");
    ASSERT_EQ(RFC_OK, rows.invoke(connection.handle(), e)) << e.text();
    RFC_TABLE_HANDLE t = rows.table(L"ROWS");
    ASSERT_EQ(2u, rowCount(t));
    EXPECT_EQ(10u, string(nw().RfcGetCurrentRow(t, &e), L"STRING").size()) << "WIDTH not set: its default applies";
}
