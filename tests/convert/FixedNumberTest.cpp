// Numbers read from fixed-width text.
#include "convert/FixedNumber.h"

#include <gtest/gtest.h>

#include <cmath>

#include <limits>
#include <string>

using namespace tolvane;

namespace {

TEST(ParseFixedInt, ReadsDigitsSignsAndSkipsTheRest)
{
    constexpr long long kMax = std::numeric_limits<long long>::max();
    const struct {
        const wchar_t* chars;
        size_t count;
        bool isSigned;
        long long expected;
    } rows[] = {
        {L" 12-", 4, true, -12}, {L"-12", 3, true, -12}, {L"-12", 3, false, 12}, {L"12-  ", 5, true, -12},
        {L"- 12", 4, true, -12}, {L"1-2", 3, true, 12},  {L"+12", 3, true, 12},  {L" 1 2", 4, false, 12},
        {L"0042", 4, false, 42}, {L"4a2", 3, false, 42}, {L"    ", 4, true, 0},  {L"", 0, false, 0},
        {L"\x0661", 1, false, 0}, {L"20180719", 4, false, 2018}, {L"12-", 2, true, 12}, {nullptr, 0, true, 0},
        {L"9223372036854775807", 19, false, kMax}, {L"99999999999999999999999", 23, false, kMax},
        {L"-99999999999999999999999", 24, true, -kMax},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseFixedInt(row.chars, row.count, row.isSigned), row.expected)
            << testing::PrintToString(std::wstring(row.chars ? row.chars : L"", row.count));
}

TEST(ParseFixedFloat, ReadsTheFirstCountCharacters)
{
    const std::pair<std::wstring, double> rows[] = {
        {L"1.5", 1.5}, {L"  -2.5E3", -2500.0}, {L"123", 123.0}, {L"1.2", 1.2}, {L"1.25xyz", 1.25}, {L"abc", 0.0},
        {L"", 0.0}, {L"+7.", 7.0}, {L".5 ", 0.5}, {L"12-", 12.0}, {L"0x10", 16.0}, {L"-0X1p1", -2.0},
        {L"1e999", HUGE_VAL}, {L"  42  ", 42.0},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_DOUBLE_EQ(ParseFixedFloat(text.c_str(), text.size()), expected) << testing::PrintToString(text);
    EXPECT_DOUBLE_EQ(ParseFixedFloat(L"12345", 3), 123.0);
    EXPECT_TRUE(std::isinf(ParseFixedFloat(L"inf", 3)));
    const std::wstring longNumber = L"0." + std::wstring(80, L'1'); // longer than the quick path takes
    EXPECT_NEAR(ParseFixedFloat(longNumber.c_str(), longNumber.size()), 0.1111111111, 1e-9);
}

} // namespace
