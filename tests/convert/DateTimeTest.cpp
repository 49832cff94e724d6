// Dates and times between variants and their 8- and 6-character images.
#include "ConvertTestSupport.h"
#include "convert/DateTime.h"

#include <limits>
#include <tuple>

using namespace tolvane;
using namespace convert_test;

namespace {

// The image written from `value` into a field at the edge of readable memory.
std::wstring AbapDate(const com::variant& value)
{
    EdgeField field(16, BytesOfText(L"########"));
    VariantToAbapDate(field.chars(), value.get());
    return field.Text();
}

std::wstring AbapTime(const com::variant& value)
{
    EdgeField field(12, BytesOfText(L"######"));
    VariantToAbapTime(field.chars(), value.get());
    return field.Text();
}

TEST(AbapDateAndTimeText, AreRecognised)
{
    for (const auto* text : {L"20180719", L"00000101", L"99991231", L"20180231"})
        EXPECT_TRUE(IsAbapDateText(text)) << text;
    for (const auto* text : {L"20181301", L"20180001", L"20180100", L"20180132", L"00000000", L"2018071", L"201807190",
                             L"2018-7-1", L"2018071a", L""})
        EXPECT_FALSE(IsAbapDateText(text)) << text;
    for (const auto* text : {L"070509", L"999999", L"07:05:09", L"12345678", L"::::::::"})
        EXPECT_TRUE(IsAbapTimeText(text)) << text;
    for (const auto* text : {L"07:05:0", L"7:05:09", L"0705091", L"07.05.09", L"07050a", L""})
        EXPECT_FALSE(IsAbapTimeText(text)) << text;
}

struct Row {
    const char* name;
    com::variant value;
    std::wstring image;
};

TEST(VariantToAbapDate, WritesTheImage)
{
    const Row rows[] = {
        {"ABAP date text", Text(L"20180719"), L"20180719"},
        {"days are not tested against the month", Text(L"20180231"), L"20180231"},
        {"date variant", Date(2018, 3, 5, 23, 59, 59), L"20180305"},
        {"ISO text through the date conversion", Text(L"2018-03-05"), L"20180305"},
        {"last automation date", Date(9999, 12, 31), L"99991231"},
        {"year below 1000 padded with a blank", Date(999, 12, 31), L" 9991231"},
        {"null", Null(), std::wstring(8, L'\0')},
        {"empty", Empty(), L"00000000"},
        {"4-byte integer 0", I4(0), L"00000000"},
        {"zeros", Text(L"00000000"), L"00000000"},
        {"empty string", Text(L""), L"00000000"},
        {"one blank", Text(L" "), L"00000000"},
        {"2-byte integer 0 is a real date", I2(0), L"18991230"},
        {"4-byte integer 1 is a real date", I4(1), L"18991231"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AbapDate(row.value), row.image) << row.name;
}

TEST(VariantToAbapDateAndTime, ReadAValuePassedByReferenceAsItsTarget)
{
    com::variant date = Text(L"20180231"), time = Text(L"12345678"), zero = I4(0);
    auto reference = [](com::variant& target) {
        VARIANT ref;
        V_VT(&ref) = VT_BYREF | target.vt();
        V_BYREF(&ref) = &V_BSTR(target.addr()); // the start of the value, whatever its type
        return ref;
    };
    EXPECT_EQ(AbapDate(com::variant(reference(date))), L"20180231"); // not a date the system would take
    EXPECT_EQ(AbapTime(com::variant(reference(time))), L"124578");
    EXPECT_EQ(AbapDate(com::variant(reference(zero))), L"00000000");
}

TEST(VariantToAbapDate, Failures)
{
    for (const auto& value : {Text(L"20181301"), Text(L"abc"), Text(L"2018-13-40")}) { // no date: no texts
        const auto error = Thrown([&] { AbapDate(value); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->Message(), L"DATE_TIME_CONVERSION(5) : (, value = '')");
    }
    for (double serial : {3.0e6, -700000.0, std::numeric_limits<double>::quiet_NaN()}) { // no calendar form
        const auto error = Thrown([&] { AbapDate(Date(serial)); });
        ASSERT_TRUE(error) << serial;
        EXPECT_EQ(std::make_tuple(error->Kind(), error->Description(), error->Context()),
                  std::make_tuple(uint32_t{DATE_TIME_CONVERSION}, std::wstring(L"not a valid date"),
                                  std::wstring(L"RfcVariantToData(),TYPE_DATE")));
    }
}

TEST(VariantToAbapTime, WritesTheImage)
{
    const Row rows[] = {
        {"six digits, not range-checked", Text(L"996199"), L"996199"},
        {"with colons", Text(L"07:05:09"), L"070509"},
        {"eight digits take 1, 2, 4, 5, 7, 8", Text(L"12345678"), L"124578"},
        {"date variant", Date(2018, 3, 5, 13, 30, 0), L"133000"},
        {"a third of a day", Date(1.0 / 3.0), L"080000"},
        {"text through the date conversion", Text(L"13:30"), L"133000"},
        {"noon as a number", R8(0.5), L"120000"},
        {"null", Null(), std::wstring(6, L'\0')},
        {"empty", Empty(), L"000000"},
        {"4-byte integer 0", I4(0), L"000000"},
        {"zeros", Text(L"000000"), L"000000"},
        {"empty string", Text(L""), L"000000"},
        {"one blank", Text(L" "), L"000000"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AbapTime(row.value), row.image) << row.name;
}

TEST(VariantToAbapTime, AValueThatIsNoTimeIsNotAValidTime)
{
    for (const auto& value : {Text(L"25:00"), Date(3.0e6)})
        EXPECT_EQ(Thrown([&] { AbapTime(value); }).value().Context(), L"RfcVariantToData(),TYPE_TIME");
    EXPECT_EQ(Thrown([&] { AbapTime(Text(L"abc")); }).value().Message(),
              L"DATE_TIME_CONVERSION(5) : not a valid time(RfcVariantToData(),TYPE_TIME, value = 'abc')");
}

TEST(AbapDateToVariant, GivesTheDayAtMidnightOrEmpty)
{
    const struct {
        const wchar_t* image;
        std::optional<DATE> value; // nothing: empty
        bool success;
    } rows[] = {
        {L"20180719", DateValue(2018, 7, 19), true}, {L"20000229", DateValue(2000, 2, 29), true},
        {L"01000101", DateValue(100, 1, 1), true},   {L"99991231", DateValue(9999, 12, 31), true},
        {L"18991229", -1.0, true},                   {L"2018 719", DateValue(2018, 7, 19), true},
        {L"00000000", std::nullopt, true},           {L"        ", std::nullopt, true},
        {L"20181301", std::nullopt, false},          {L"20180000", std::nullopt, false},
        {L"20180100", std::nullopt, false},          {L"19000229", std::nullopt, false},
        {L"20180431", std::nullopt, false},          {L"00991231", std::nullopt, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.image)));
        EdgeField field(16, BytesOfText(row.image));
        com::variant out = Text(L"stale");
        EXPECT_EQ(AbapDateToVariant(out, field.chars()), row.success);
        ASSERT_EQ(out.vt(), row.value ? VT_DATE : VT_EMPTY);
        if (row.value) {
            EXPECT_EQ(V_DATE(out.addr()), *row.value);
        }
    }
}

TEST(AbapTimeToVariant, GivesTheTimeOfDayOnTheBaseDate)
{
    const std::pair<const wchar_t*, DATE> rows[] = {
        {L"000000", 0.0},
        {L"133000", DateValue(1899, 12, 30, 13, 30, 0)},
        {L"235959", DateValue(1899, 12, 30, 23, 59, 59)},
        {L" 7 5 9", DateValue(1899, 12, 30, 7, 5, 9)},
    };
    for (const auto& [image, expected] : rows) {
        EdgeField field(12, BytesOfText(image));
        com::variant out;
        AbapTimeToVariant(out, field.chars());
        ASSERT_EQ(out.vt(), VT_DATE) << image;
        EXPECT_NEAR(V_DATE(out.addr()), expected, 1e-9) << image;
    }
    const std::pair<const wchar_t*, const wchar_t*> outOfRange[] = {
        {L"250000", L"25:00:00"}, {L"126000", L"12:60:00"}, {L"000060", L"00:00:60"}, {L"240000", L"24:00:00"}};
    for (const auto& [image, text] : outOfRange) { // stays the text
        com::variant out;
        AbapTimeToVariant(out, image);
        EXPECT_EQ(StringOf(out), text);
    }
}

} // namespace
