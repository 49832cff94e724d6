// Packed decimals: known conversions both ways, the largest numbers of every field length, and
// round trips over generated numbers.
#include "ConvertTestSupport.h"
#include "convert/Bcd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace tolvane;
using convert_test::EdgeField;

namespace {

std::string Hex(const std::vector<uint8_t>& bytes)
{
    std::string text;
    for (uint8_t b : bytes) {
        char part[4];
        std::snprintf(part, sizeof part, "%02X", b);
        if (!text.empty())
            text += ' ';
        text += part;
    }
    return text;
}

std::vector<uint8_t> FromHex(const std::string& hex)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 3)
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

struct Packed {
    int result;
    std::string hex; // the field after the call
};

// Packs `text` into a field of `bytes` bytes that ends at the edge of readable memory.
Packed Pack(std::wstring_view text, int bytes, int decimals)
{
    EdgeField field(static_cast<size_t>(bytes));
    field.Fill(0xEE);
    const int result = RfcConvertCharToBcdU(text.data(), static_cast<int>(text.size()), decimals, field.data(), bytes);
    return {result, Hex(field.Bytes())};
}

struct Unpacked {
    int result;
    std::wstring text;
};

Unpacked Unpack(const std::vector<uint8_t>& image, int decimals, int textLength = 48)
{
    EdgeField field(image.size());
    field.SetBytes(image);
    std::wstring text(static_cast<size_t>(textLength), L'#');
    const int result =
        RfcConvertBcdToCharU(field.data(), static_cast<int>(image.size()), decimals, text.data(), textLength);
    const size_t end = text.find_last_not_of(L' ');
    return {result, result == BCD_OK ? text.substr(0, end + 1) : text};
}

// ---- text to packed -------------------------------------------------------------------------

struct PackRow {
    const wchar_t* text;
    int bytes;
    int decimals;
    int result;
    const char* hex; // expected field; for failures the untouched fill
};

class TextToPacked : public testing::TestWithParam<PackRow> {};

TEST_P(TextToPacked, WritesTheExpectedImage)
{
    const PackRow& row = GetParam();
    const Packed packed = Pack(row.text, row.bytes, row.decimals);
    EXPECT_EQ(packed.result, row.result);
    EXPECT_EQ(packed.hex, row.hex);
}

INSTANTIATE_TEST_SUITE_P(Signs, TextToPacked, testing::Values(
    PackRow{L"0", 1, 0, BCD_OK, "0C"},
    PackRow{L"5", 1, 0, BCD_OK, "5C"},
    PackRow{L"-5", 1, 0, BCD_OK, "5D"},
    PackRow{L"5-", 1, 0, BCD_OK, "5D"},
    PackRow{L"+5", 1, 0, BCD_OK, "5C"},
    PackRow{L"5+", 1, 0, BCD_OK, "5C"},
    PackRow{L"-0", 1, 0, BCD_OK, "0C"},
    PackRow{L"-0.000", 2, 1, BCD_OK, "00 0C"},
    PackRow{L"  -42  ", 2, 0, BCD_OK, "04 2D"},
    PackRow{L"42-  ", 2, 0, BCD_OK, "04 2D"}));

INSTANTIATE_TEST_SUITE_P(Blanks, TextToPacked, testing::Values(
    PackRow{L"", 2, 0, BCD_OK, "00 0C"},
    PackRow{L"    ", 2, 2, BCD_OK, "00 0C"},
    PackRow{L" 7 ", 1, 0, BCD_OK, "7C"}));

INSTANTIATE_TEST_SUITE_P(Decimals, TextToPacked, testing::Values(
    PackRow{L"12.5", 2, 1, BCD_OK, "12 5C"},
    PackRow{L"12", 2, 1, BCD_OK, "12 0C"},
    PackRow{L".5", 2, 1, BCD_OK, "00 5C"},
    PackRow{L"5.", 1, 0, BCD_OK, "5C"},
    PackRow{L"0.05", 3, 2, BCD_OK, "00 00 5C"},
    PackRow{L"-1.23", 2, 2, BCD_OK, "12 3D"},
    PackRow{L"0001.50", 2, 2, BCD_OK, "15 0C"},
    PackRow{L"123", 3, 4, BCD_TOO_LARGE, "EE EE EE"},
    PackRow{L"12.3", 4, 4, BCD_OK, "01 23 00 0C"}));

INSTANTIATE_TEST_SUITE_P(Rounding, TextToPacked, testing::Values(
    PackRow{L"12.54", 2, 1, BCD_OK, "12 5C"},
    PackRow{L"12.55", 2, 1, BCD_OK, "12 6C"},
    PackRow{L"12.56", 2, 1, BCD_OK, "12 6C"},
    PackRow{L"-12.55", 2, 1, BCD_OK, "12 6D"},
    PackRow{L"-12.549999", 2, 1, BCD_OK, "12 5D"},
    PackRow{L"1.005", 2, 2, BCD_OK, "10 1C"},
    PackRow{L"0.5", 1, 0, BCD_OK, "1C"},
    PackRow{L"0.49", 1, 0, BCD_OK, "0C"},
    PackRow{L"-0.04", 2, 1, BCD_OK, "00 0C"},
    PackRow{L"-0.05", 2, 1, BCD_OK, "00 1D"},
    PackRow{L"99.96", 2, 1, BCD_TOO_LARGE, "EE EE"},
    PackRow{L"99.94", 2, 1, BCD_OK, "99 9C"},
    PackRow{L"9.5", 1, 0, BCD_TOO_LARGE, "EE"}));

INSTANTIATE_TEST_SUITE_P(Exponents, TextToPacked, testing::Values(
    PackRow{L"1E3", 3, 0, BCD_OK, "01 00 0C"},
    PackRow{L"1e+3", 3, 0, BCD_OK, "01 00 0C"},
    PackRow{L"1E-05", 3, 5, BCD_OK, "00 00 1C"},
    PackRow{L"-2.5E-1", 2, 2, BCD_OK, "02 5D"},
    PackRow{L"1.23456789012346E+17", 10, 0, BCD_OK, "01 23 45 67 89 01 23 46 00 0C"},
    PackRow{L"1E+20", 10, 0, BCD_TOO_LARGE, "EE EE EE EE EE EE EE EE EE EE"},
    PackRow{L"5E-999999999", 2, 2, BCD_OK, "00 0C"},
    PackRow{L"1E999999999", 16, 0, BCD_TOO_LARGE,
            "EE EE EE EE EE EE EE EE EE EE EE EE EE EE EE EE"}));

INSTANTIATE_TEST_SUITE_P(IntegerDigits, TextToPacked, testing::Values(
    PackRow{L"00009", 1, 0, BCD_OK, "9C"},
    PackRow{L"10", 1, 0, BCD_TOO_LARGE, "EE"},
    PackRow{L"999", 2, 0, BCD_OK, "99 9C"},
    PackRow{L"1000", 2, 0, BCD_TOO_LARGE, "EE EE"},
    PackRow{L"-999", 2, 0, BCD_OK, "99 9D"}));

INSTANTIATE_TEST_SUITE_P(NotANumber, TextToPacked, testing::Values(
    PackRow{L"abc", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"1.2.3", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"--1", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"-1-", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"+-1", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"1 2", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"- 1", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"1,5", 2, 1, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"1e", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"e5", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"1E+", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"1E2.5", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L".", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"-", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"0x10", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"\x0661", 2, 0, BCD_NOT_A_NUMBER, "EE EE"},
    PackRow{L"1\t", 2, 0, BCD_NOT_A_NUMBER, "EE EE"}));

INSTANTIATE_TEST_SUITE_P(InvalidLengths, TextToPacked, testing::Values(
    PackRow{L"1", 17, 0, BCD_INVALID_LENGTH, "EE EE EE EE EE EE EE EE EE EE EE EE EE EE EE EE EE"},
    PackRow{L"1", 2, -1, BCD_INVALID_LENGTH, "EE EE"}));

TEST(TextToPackedLengths, RefusesAnEmptyFieldAndANegativeTextLength)
{
    uint8_t byte = 0xEE;
    EXPECT_EQ(RfcConvertCharToBcdU(L"1", 1, 0, &byte, 0), BCD_INVALID_LENGTH);
    EXPECT_EQ(RfcConvertCharToBcdU(L"1", -1, 0, &byte, 1), BCD_INVALID_LENGTH);
    EXPECT_EQ(RfcConvertCharToBcdU(nullptr, 1, 0, &byte, 1), BCD_INVALID_LENGTH);
    EXPECT_EQ(byte, 0xEE);
}

TEST(TextToPackedLengths, ReadsOnlyTheGivenCharacters)
{
    uint8_t field[2] = {};
    EXPECT_EQ(RfcConvertCharToBcdU(L"12xyz", 2, 0, field, 2), BCD_OK);
    EXPECT_EQ(Hex({field[0], field[1]}), "01 2C");
}

// ---- the largest numbers of every field length ----------------------------------------------

class LargestNumbers : public testing::TestWithParam<int> {};

TEST_P(LargestNumbers, FitAndOneMoreDigitDoesNot)
{
    const int bytes = GetParam();
    const std::wstring nines(static_cast<size_t>(2 * bytes - 1), L'9');
    const std::string allNines = Hex(std::vector<uint8_t>(static_cast<size_t>(bytes - 1), 0x99));
    const std::string positive = (bytes > 1 ? allNines + " " : "") + "9C";
    const std::string negative = (bytes > 1 ? allNines + " " : "") + "9D";

    EXPECT_EQ(Pack(nines, bytes, 0).hex, positive);
    EXPECT_EQ(Pack(L"-" + nines, bytes, 0).hex, negative);
    EXPECT_EQ(Pack(L"1" + std::wstring(nines.size(), L'0'), bytes, 0).result, BCD_TOO_LARGE);
    EXPECT_EQ(Unpack(FromHex(negative), 0).text, L"-" + nines);

    // All digits behind the point.
    const std::wstring fraction = L"0." + nines;
    EXPECT_EQ(Pack(fraction, bytes, 2 * bytes - 1).hex, positive);
    EXPECT_EQ(Unpack(FromHex(negative), 2 * bytes - 1).text, L"-" + fraction);
    EXPECT_EQ(Pack(L"1" + fraction.substr(1), bytes, 2 * bytes - 1).result, BCD_TOO_LARGE);
}

INSTANTIATE_TEST_SUITE_P(Bytes1To16, LargestNumbers, testing::Range(1, 17));

// ---- packed to text -------------------------------------------------------------------------

struct UnpackRow {
    const char* hex;
    int decimals;
    int result;
    const wchar_t* text;
};

class PackedToText : public testing::TestWithParam<UnpackRow> {};

TEST_P(PackedToText, ReadsTheExpectedText)
{
    const UnpackRow& row = GetParam();
    const Unpacked unpacked = Unpack(FromHex(row.hex), row.decimals);
    EXPECT_EQ(unpacked.result, row.result);
    if (row.result == BCD_OK) {
        EXPECT_EQ(unpacked.text, row.text);
    }
}

INSTANTIATE_TEST_SUITE_P(Known, PackedToText, testing::Values(
    UnpackRow{"0C", 0, BCD_OK, L"0"},
    UnpackRow{"5C", 0, BCD_OK, L"5"},
    UnpackRow{"5D", 0, BCD_OK, L"-5"},
    UnpackRow{"0D", 0, BCD_OK, L"0"},
    UnpackRow{"00 0D", 1, BCD_OK, L"0.0"},
    UnpackRow{"12 5C", 1, BCD_OK, L"12.5"},
    UnpackRow{"00 5C", 1, BCD_OK, L"0.5"},
    UnpackRow{"00 5C", 3, BCD_OK, L"0.005"},
    UnpackRow{"12 3D", 2, BCD_OK, L"-1.23"},
    UnpackRow{"01 23 00 0C", 4, BCD_OK, L"12.3000"},
    UnpackRow{"00 00 1C", 0, BCD_OK, L"1"},
    UnpackRow{"99 9C", 0, BCD_OK, L"999"}));

INSTANTIATE_TEST_SUITE_P(SignNibbles, PackedToText, testing::Values(
    UnpackRow{"1A", 0, BCD_OK, L"1"},
    UnpackRow{"1B", 0, BCD_OK, L"1"},
    UnpackRow{"1C", 0, BCD_OK, L"1"},
    UnpackRow{"1D", 0, BCD_OK, L"-1"},
    UnpackRow{"1E", 0, BCD_OK, L"1"},
    UnpackRow{"1F", 0, BCD_OK, L"1"},
    UnpackRow{"12", 0, BCD_NOT_A_NUMBER, L""},
    UnpackRow{"19", 0, BCD_NOT_A_NUMBER, L""}));

INSTANTIATE_TEST_SUITE_P(BadDigits, PackedToText, testing::Values(
    UnpackRow{"A0 0C", 0, BCD_NOT_A_NUMBER, L""},
    UnpackRow{"0F 0C", 0, BCD_NOT_A_NUMBER, L""},
    UnpackRow{"00 FC", 0, BCD_NOT_A_NUMBER, L""}));

TEST(PackedToTextBuffer, PadsWithBlanksAndNeverWritesPastIt)
{
    EdgeField text(8 * sizeof(wchar_t));
    const uint8_t minusFive = 0x5D;
    EXPECT_EQ(RfcConvertBcdToCharU(&minusFive, 1, 0, reinterpret_cast<wchar_t*>(text.data()), 8), BCD_OK);
    EXPECT_EQ(text.Text(), L"-5      ");

    const uint8_t image[] = {0x12, 0x3D};
    EXPECT_EQ(RfcConvertBcdToCharU(image, 2, 2, reinterpret_cast<wchar_t*>(text.data()), 5), BCD_OK);
    EXPECT_EQ(text.Text().substr(0, 5), L"-1.23");
    EXPECT_EQ(RfcConvertBcdToCharU(image, 2, 2, reinterpret_cast<wchar_t*>(text.data()), 4), BCD_TOO_LARGE);
}

TEST(PackedToTextBuffer, TheLargestNegativeNumberWithDecimalsNeedsThirtyThreeCharacters)
{
    const std::vector<uint8_t> image(16, 0x99);
    std::vector<uint8_t> negative = image;
    negative.back() = 0x9D;
    const Unpacked unpacked = Unpack(negative, 10, 33);
    EXPECT_EQ(unpacked.result, BCD_OK);
    EXPECT_EQ(unpacked.text, L"-" + std::wstring(21, L'9') + L"." + std::wstring(10, L'9'));
    EXPECT_EQ(Unpack(negative, 10, 32).result, BCD_TOO_LARGE);
}

TEST(PackedToTextLengths, RefusesFieldsOutsideOneToSixteenBytesAndNegativeDecimals)
{
    const std::vector<uint8_t> image(17, 0x00);
    wchar_t text[64];
    EXPECT_EQ(RfcConvertBcdToCharU(image.data(), 0, 0, text, 64), BCD_INVALID_LENGTH);
    EXPECT_EQ(RfcConvertBcdToCharU(image.data(), 17, 0, text, 64), BCD_INVALID_LENGTH);
    EXPECT_EQ(RfcConvertBcdToCharU(image.data(), 1, -1, text, 64), BCD_INVALID_LENGTH);
    EXPECT_EQ(RfcConvertBcdToCharU(nullptr, 1, 0, text, 64), BCD_INVALID_LENGTH);
}

// ---- generated round trips ------------------------------------------------------------------

struct GeneratedNumber {
    int bytes;
    int decimals;
    std::wstring written;    // with cosmetic variations
    std::wstring normalised; // as it reads back
};

// A random number that fits its field, written with random blanks, leading zeros and sign form.
GeneratedNumber Generate(std::mt19937& random)
{
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    GeneratedNumber n;
    n.bytes = pick(1, 16);
    const int capacity = 2 * n.bytes - 1;
    n.decimals = pick(0, capacity);
    std::wstring digits(static_cast<size_t>(pick(0, capacity)), L'0');
    for (auto& d : digits)
        d = static_cast<wchar_t>(L'0' + pick(0, 9));
    digits.erase(0, std::min(digits.find_first_not_of(L'0'), digits.size()));
    const bool negative = pick(0, 1) == 1 && !digits.empty();

    const size_t fraction = static_cast<size_t>(n.decimals);
    const std::wstring padded = std::wstring(fraction + 1 > digits.size() ? fraction + 1 - digits.size() : 0, L'0') + digits;
    const std::wstring integer = padded.substr(0, padded.size() - fraction);
    const std::wstring decimals = padded.substr(padded.size() - fraction);
    n.normalised = (negative ? L"-" : L"") + integer + (fraction ? L"." + decimals : L"");

    const std::wstring zeros(static_cast<size_t>(pick(0, 2)), L'0');
    const std::wstring body = zeros + integer + (fraction ? L"." + decimals : L"");
    const std::wstring blanks(static_cast<size_t>(pick(0, 2)), L' ');
    switch (pick(0, 2)) {
    case 0:
        n.written = blanks + (negative ? L"-" : L"") + body + blanks;
        break;
    case 1:
        n.written = blanks + body + (negative ? L"-" : L"+") + blanks;
        break;
    default:
        n.written = (negative ? L"-" : L"+") + body;
        break;
    }
    return n;
}

TEST(PackedRoundTrip, TextToPackedToTextGivesTheNormalisedText)
{
    std::mt19937 random(20240607);
    for (int i = 0; i < 20000; ++i) {
        const GeneratedNumber n = Generate(random);
        std::vector<uint8_t> image(static_cast<size_t>(n.bytes));
        ASSERT_EQ(RfcConvertCharToBcdU(n.written.c_str(), static_cast<int>(n.written.size()), n.decimals, image.data(),
                                       n.bytes),
                  BCD_OK)
            << "text '" << testing::PrintToString(n.written) << "' bytes " << n.bytes << " decimals " << n.decimals;
        const Unpacked back = Unpack(image, n.decimals);
        ASSERT_EQ(back.result, BCD_OK);
        ASSERT_EQ(back.text, n.normalised) << "from '" << testing::PrintToString(n.written) << "'";
    }
}

TEST(PackedRoundTrip, PackedToTextToPackedKeepsEveryValidImage)
{
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        const int bytes = std::uniform_int_distribution<int>(1, 16)(random);
        const int decimals = std::uniform_int_distribution<int>(0, 2 * bytes + 1)(random);
        std::vector<uint8_t> image(static_cast<size_t>(bytes));
        for (auto& b : image)
            b = static_cast<uint8_t>(std::uniform_int_distribution<int>(0, 9)(random) << 4 |
                                     std::uniform_int_distribution<int>(0, 9)(random));
        const bool negative = std::uniform_int_distribution<int>(0, 1)(random) == 1;
        image.back() = static_cast<uint8_t>((image.back() & 0xF0) | (negative ? 0xD : 0xC));
        const bool zero = std::all_of(image.begin(), image.end() - 1, [](uint8_t b) { return b == 0; }) &&
                          (image.back() & 0xF0) == 0;
        if (zero)
            image.back() = 0x0C; // zero is always written positive

        const Unpacked text = Unpack(image, decimals, 64);
        ASSERT_EQ(text.result, BCD_OK);
        std::vector<uint8_t> again(image.size(), 0xEE);
        ASSERT_EQ(RfcConvertCharToBcdU(text.text.c_str(), static_cast<int>(text.text.size()), decimals, again.data(),
                                       bytes),
                  BCD_OK);
        ASSERT_EQ(Hex(again), Hex(image)) << testing::PrintToString(text.text);
    }
}

// Rounding checked against integer arithmetic: one decimal more than the field takes.
TEST(PackedRoundTrip, ExtraDecimalRoundsHalfAwayFromZero)
{
    std::mt19937 random(99);
    for (int i = 0; i < 20000; ++i) {
        const long long tenths = std::uniform_int_distribution<long long>(-99'999'999'999LL, 99'999'999'999LL)(random);
        const long long magnitude = tenths < 0 ? -tenths : tenths;
        const long long rounded = magnitude / 10 + (magnitude % 10 >= 5 ? 1 : 0);
        const std::wstring text =
            (tenths < 0 ? L"-" : L"") + std::to_wstring(magnitude / 10) + L"." + std::to_wstring(magnitude % 10);
        std::vector<uint8_t> image(8);
        ASSERT_EQ(RfcConvertCharToBcdU(text.c_str(), static_cast<int>(text.size()), 0, image.data(), 8), BCD_OK);
        const Unpacked back = Unpack(image, 0);
        const std::wstring expected = (tenths < 0 && rounded != 0 ? L"-" : L"") + std::to_wstring(rounded);
        ASSERT_EQ(back.text, expected) << testing::PrintToString(text);
    }
}

} // namespace
