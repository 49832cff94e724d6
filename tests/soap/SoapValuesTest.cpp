// Values as the SOAP session reads them, checked against the general conversions they stand in for.
#include "soap/SoapValues.h"
#include "session/XTolvane.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

namespace {

// What the general conversion of the text to a date gives, or nothing when it fails.
std::optional<DATE> ConvertedDate(const com::variant& text)
{
    com::variant date;
    if (FAILED(text.try_as(VT_DATE, date)))
        return std::nullopt;
    return V_DATE(date.addr());
}

std::optional<DATE> Received(const com::variant& text)
{
    try {
        const com::variant time = tolvane::soap::ReceivedTime(text);
        EXPECT_EQ(time.vt(), VT_DATE);
        return V_DATE(time.addr());
    } catch (const tolvane::CXTolvane&) {
        return std::nullopt;
    }
}

bool SameBits(DATE a, DATE b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void ExpectAsConverted(const com::variant& value)
{
    const std::optional<DATE> expected = ConvertedDate(value), received = Received(value);
    ASSERT_EQ(expected.has_value(), received.has_value());
    if (expected) {
        EXPECT_TRUE(SameBits(*expected, *received)) << *received << " instead of " << *expected;
    }
}

} // namespace

TEST(SoapValues, EveryTimeOfDayReadsAsTheGeneralConversionReadsIt)
{
    int different = 0;
    for (int second = 0; second < 24 * 3600; ++second) {
        wchar_t text[16];
        swprintf(text, 16, L"%02d:%02d:%02d", second / 3600, second / 60 % 60, second % 60);
        const com::variant value(text);
        const std::optional<DATE> expected = ConvertedDate(value), received = Received(value);
        ASSERT_TRUE(expected.has_value()) << text;
        ASSERT_TRUE(received.has_value()) << text;
        if (!SameBits(*expected, *received) && ++different <= 5)
            ADD_FAILURE() << text << ": " << *received << " instead of " << *expected;
    }
    EXPECT_EQ(different, 0);
}

TEST(SoapValues, OtherTimeTextsReadAsTheGeneralConversionReadsThem)
{
    for (const wchar_t* text : {L"1:02:03", L"01:02", L"24:00:00", L"23:60:00", L"23:59:60", L"", L" ", L"ab:cd:ef",
                                L" 12:34:56", L"12:34:56 ", L"12:34:56 PM", L"12-34-56", L"123456", L"0:0:0",
                                L"12:34:56.5", L"\uff11\uff12:34:56"}) {
        SCOPED_TRACE(testing::Message() << std::wstring(text).size() << " characters");
        ExpectAsConverted(com::variant(text));
    }
    ExpectAsConverted(com::variant::null());
    ExpectAsConverted(com::variant());
}
