#include "dictionary/ScalarCodec.h"

#include <gtest/gtest.h>

using namespace sapsim;

namespace {

const ScalarType packed{'P', 3, 2}; // 5 digits, 2 decimals: -999.99 .. 999.99

std::string fixed(const ScalarType& t, const std::string& text)
{
    std::string out;
    ScalarCodec::appendFixed(out, t, ScalarCodec::fromText(t, text));
    return out;
}

} // namespace

TEST(ScalarCodec, PackedNumbersRoundAndOverflowAtTheirDigits)
{
    const std::pair<const char*, const char*> accepted[] = {
        {"999.99", "999.99"}, {"999.994", "999.99"}, {"0.005", "0.01"}, {"-0.005", "-0.01"}, {"-0.004", "0.00"},
        {"1.", "1.00"}, {".5", "0.50"}, {"007.1", "7.10"}, {"12-", "-12.00"}, {"+3", "3.00"}, {"", "0.00"},
    };
    for (const auto& [in, out] : accepted)
        EXPECT_EQ(out, ScalarCodec::fromText(packed, in)) << in;
    for (const char* refused : {"999.995", "1000", "1-2", "--1", "1e2", ".", "-", "1 2"})
        EXPECT_THROW(ScalarCodec::fromText(packed, refused), ConversionError) << refused;
    EXPECT_EQ("12", ScalarCodec::fromText(ScalarType{'P', 2, 0}, "12.4"));
}

TEST(ScalarCodec, ComparesByValueNotByText)
{
    auto cmp = [](const ScalarType& t, const char* a, const char* b) {
        return ScalarCodec::compare(t, ScalarCodec::fromText(t, a), ScalarCodec::fromText(t, b));
    };
    EXPECT_EQ(-1, cmp(packed, "-10", "-9"));
    EXPECT_EQ(1, cmp(packed, "10", "9.99"));
    EXPECT_EQ(-1, cmp(packed, "-0.01", "0"));
    EXPECT_EQ(0, cmp(packed, "1.5", "1.50"));
    EXPECT_EQ(-1, cmp(ScalarType{'I', 4, 0}, "-20", "3"));
    EXPECT_EQ(1, cmp(ScalarType{'F', 8, 0}, "1e3", "999.5"));
    EXPECT_EQ(-1, cmp(ScalarType{'N', 4, 0}, "99", "100"));
}

TEST(ScalarCodec, FixedWidthFormsOfTableRows)
{
    EXPECT_EQ("   12.50-", fixed(ScalarType{'P', 4, 2}, "-12.5"));
    EXPECT_EQ("        42-", fixed(ScalarType{'I', 4, 0}, "-42"));
    EXPECT_EQ("255", fixed(ScalarType{'b', 1, 0}, "255"));
    EXPECT_EQ("  1.5000000000000000E+00", fixed(ScalarType{'F', 8, 0}, "1.5"));
    EXPECT_EQ("00FF", fixed(ScalarType{'X', 2, 0}, "AP8="));
    EXPECT_EQ("Grü  ", fixed(ScalarType{'C', 5, 0}, "Grü")) << "padding counts characters, not bytes";
    EXPECT_EQ("0042", fixed(ScalarType{'N', 4, 0}, "42"));
}

TEST(ScalarCodec, CharactersAreCutByCharacters)
{
    EXPECT_EQ("äöü", ScalarCodec::fromText(ScalarType{'C', 3, 0}, "äöüß"));
    EXPECT_EQ(" a", ScalarCodec::fromText(ScalarType{'C', 5, 0}, " a   "));
    EXPECT_EQ(std::string("\x01\x02\0\0", 4), ScalarCodec::fromText(ScalarType{'X', 4, 0}, "AQI="));
    EXPECT_EQ(std::string("\x01\x02", 2), ScalarCodec::fromText(ScalarType{'X', 2, 0}, "AQIDBA=="));
}
