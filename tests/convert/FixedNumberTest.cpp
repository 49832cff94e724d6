// Numbers read from fixed-width text.
#include "convert/FixedNumber.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace tolvane;

namespace {

struct IntRow {
    const wchar_t* chars;
    size_t count;
    bool isSigned;
    long long expected;
};

class FixedInt : public testing::TestWithParam<IntRow> {};

TEST_P(FixedInt, ReadsTheValue)
{
    const IntRow& row = GetParam();
    EXPECT_EQ(ParseFixedInt(row.chars, row.count, row.isSigned), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Signs, FixedInt, testing::Values(
    IntRow{L" 12-", 4, true, -12},
    IntRow{L"-12", 3, true, -12},
    IntRow{L"-12", 3, false, 12},
    IntRow{L"12-  ", 5, true, -12},
    IntRow{L"- 12", 4, true, -12},
    IntRow{L"1-2", 3, true, 12},
    IntRow{L"+12", 3, true, 12}));

INSTANTIATE_TEST_SUITE_P(BlanksAndOtherCharacters, FixedInt, testing::Values(
    IntRow{L" 1 2", 4, false, 12},
    IntRow{L"0042", 4, false, 42},
    IntRow{L"4a2", 3, false, 42},
    IntRow{L"    ", 4, true, 0},
    IntRow{L"", 0, false, 0},
    IntRow{L"\x0661", 1, false, 0}));

INSTANTIATE_TEST_SUITE_P(Widths, FixedInt, testing::Values(
    IntRow{L"20180719", 4, false, 2018},
    IntRow{L"123456", 0, false, 0},
    IntRow{L"9223372036854775807", 19, false, std::numeric_limits<long long>::max()},
    IntRow{L"99999999999999999999999", 23, false, std::numeric_limits<long long>::max()},
    IntRow{L"-99999999999999999999999", 24, true, -std::numeric_limits<long long>::max()}));

TEST(FixedIntLimits, ReadsNothingPastTheCount)
{
    // A minus sign right after the counted characters must not count.
    const wchar_t text[] = L"12-";
    EXPECT_EQ(ParseFixedInt(text, 2, true), 12);
    EXPECT_EQ(ParseFixedInt(nullptr, 0, true), 0);
}

struct FloatRow {
    const wchar_t* chars;
    size_t count;
    double expected;
};

class FixedFloat : public testing::TestWithParam<FloatRow> {};

TEST_P(FixedFloat, ReadsTheValue)
{
    const FloatRow& row = GetParam();
    EXPECT_DOUBLE_EQ(ParseFixedFloat(row.chars, row.count), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, FixedFloat, testing::Values(
    FloatRow{L"1.5", 3, 1.5},
    FloatRow{L"  -2.5E3", 8, -2500.0},
    FloatRow{L"12345", 3, 123.0},
    FloatRow{L"1.25xyz", 3, 1.2},
    FloatRow{L"1.25xyz", 7, 1.25},
    FloatRow{L"abc", 3, 0.0},
    FloatRow{L"", 0, 0.0}));

} // namespace
