// What follows the user's regional settings and what must not. These suites run twice: under
// English (United States) settings and under German ones, where the decimal separator is a
// comma and dates read day first (the test definitions set the locale for each run).
#include "ConvertTestSupport.h"
#include "convert/DateTime.h"
#include "convert/FixedNumber.h"
#include "convert/VariantDescription.h"

#include <cstdlib>

using namespace tolvane;
using namespace convert_test;

namespace {

std::wstring DecimalSeparator()
{
    wchar_t separator[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    return separator;
}

TEST(UserLocale, IsTheOneTheTestRunAskedFor)
{
    const char* expected = std::getenv("TOLVANE_TEST_DECIMAL_SEPARATOR");
    ASSERT_NE(expected, nullptr) << "the test definition sets the locale and names its decimal separator";
    EXPECT_EQ(DecimalSeparator(), std::wstring(1, wchar_t(expected[0])));
}

TEST(UserLocale, NumbersInTextUseTheUsersSeparator)
{
    const std::wstring sep = DecimalSeparator();
    double written = 0;
    std::memcpy(&written, Write(TYPE_FLOAT, 0, 0, Text(L"2" + sep + L"5")).data(), sizeof written);
    EXPECT_EQ(written, 2.5);
    EXPECT_EQ(DescribeVariant(R8(1.5).get()), L"1" + sep + L"5 (VT_R8)");
    EXPECT_EQ(VariantValueDisplay(R8(-0.5).get()), L"-0" + sep + L"5");
}

TEST(UserLocale, PackedFieldsTakeNumbersAndTextWithTheUsersSeparator)
{
    const std::wstring sep = DecimalSeparator();
    EXPECT_EQ(Write(TYPE_BCD, 3, 1, R8(1.5)), Bytes({0x01, 0x5C}));
    EXPECT_EQ(Write(TYPE_BCD, 3, 1, Text(L"12" + sep + L"5")), Bytes({0x12, 0x5C}));
    EXPECT_EQ(Write(TYPE_BCD, 5, 2, Text(L"-1" + sep + L"2345").as(VT_CY)), Bytes({0x00, 0x12, 0x3D}));
    EXPECT_EQ(Write(TYPE_BCD, 5, 5, R8(1e-5)), Bytes({0x00, 0x00, 0x1C}));
}

TEST(UserLocale, DateTextInTheUsersShortFormat)
{
    SYSTEMTIME day{2018, 3, 0, 5, 0, 0, 0, 0};
    wchar_t text[64];
    ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, text, 64), 0);
    EXPECT_EQ(WrittenText(TYPE_DATE, 8, Text(text)), L"20180305") << text;
}

TEST(LocaleIndependent, AbapDateAndTimeImages)
{
    EXPECT_EQ(WrittenText(TYPE_DATE, 8, Date(2018, 3, 5, 13, 30, 0)), L"20180305");
    EXPECT_EQ(WrittenText(TYPE_DATE, 8, Text(L"20180719")), L"20180719");
    EXPECT_EQ(WrittenText(TYPE_DATE, 8, Text(L"2018-03-05")), L"20180305");
    EXPECT_EQ(WrittenText(TYPE_TIME, 6, Text(L"07:05:09")), L"070509");
    EXPECT_EQ(WrittenText(TYPE_TIME, 6, Date(2018, 3, 5, 13, 30, 0)), L"133000");
}

TEST(LocaleIndependent, ReceivedDatesAndTimes)
{
    com::variant date, time;
    ASSERT_TRUE(AbapDateToVariant(date, L"20180719"));
    EXPECT_EQ(V_DATE(date.addr()), DateValue(2018, 7, 19));
    AbapTimeToVariant(time, L"133000");
    ASSERT_EQ(time.vt(), VT_DATE);
    EXPECT_DOUBLE_EQ(V_DATE(time.addr()), 0.5625);
}

TEST(LocaleIndependent, PackedTextAndFixedWidthFloatsUseAPoint)
{
    EXPECT_EQ(Write(TYPE_BCD, 3, 1, Text(L"12.5")), Bytes({0x12, 0x5C}));
    EXPECT_EQ(StringOf(Read({0x12, 0x3D}, TYPE_BCD, 2, 2)), L"-1.23");
    EXPECT_DOUBLE_EQ(ParseFixedFloat(L"1.5", 3), 1.5);
    EXPECT_DOUBLE_EQ(ParseFixedFloat(L"1,5", 3), 1.0);
}

TEST(LocaleIndependent, IntegersInCharacterFields)
{
    EXPECT_EQ(WrittenText(TYPE_NUM, 6, I4(42)), L"000042");
    EXPECT_EQ(WrittenText(TYPE_CHAR, 4, I4(-42)), L"-42 ");
}

} // namespace
