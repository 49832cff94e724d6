// Packed decimals: known conversions both ways, the largest number of every field length, and
// round trips over generated numbers.
#include "ConvertTestSupport.h"
#include "convert/Bcd.h"

#include <algorithm>
#include <cstdio>
#include <random>

using namespace tolvane;
using namespace convert_test;

namespace {

std::string Hex(const Bytes& bytes)
{
    std::string text;
    for (uint8_t b : bytes) {
        char part[4];
        std::snprintf(part, sizeof part, text.empty() ? "%02X" : " %02X", b);
        text += part;
    }
    return text;
}

Bytes FromHex(const std::string& hex)
{
    Bytes bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 3)
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

// Packs into a field of 0xEE bytes at the edge of readable memory; the field's hex afterwards.
std::pair<int, std::string> Pack(std::wstring_view text, int bytes, int decimals)
{
    EdgeField field(size_t(bytes), Bytes(size_t(bytes), 0xEE));
    const int result = RfcConvertCharToBcdU(text.data(), int(text.size()), decimals, field.data(), bytes);
    return {result, Hex(field.Content())};
}

// Unpacks a field at the edge of readable memory; the text without its blank padding.
std::pair<int, std::wstring> Unpack(const Bytes& image, int decimals, int room = 48)
{
    EdgeField field(image.size(), image);
    std::wstring text(size_t(room), L'#');
    const int result = RfcConvertBcdToCharU(field.data(), int(image.size()), decimals, text.data(), room);
    return {result, text.substr(0, text.find_last_not_of(L' ') + 1)};
}

TEST(TextToPacked, KnownConversions)
{
    const std::string ee2 = "EE EE";
    const struct {
        const wchar_t* text;
        int bytes, decimals, result;
        std::string hex; // for failures: the field untouched
    } rows[] = {
        // signs and blanks
        {L"5", 1, 0, BCD_OK, "5C"}, {L"-5", 1, 0, BCD_OK, "5D"}, {L"5-", 1, 0, BCD_OK, "5D"},
        {L"+5", 1, 0, BCD_OK, "5C"}, {L"5+", 1, 0, BCD_OK, "5C"}, {L"-0", 1, 0, BCD_OK, "0C"},
        {L"-0.000", 2, 1, BCD_OK, "00 0C"}, {L"  -42  ", 2, 0, BCD_OK, "04 2D"}, {L" 42-  ", 2, 0, BCD_OK, "04 2D"},
        {L"", 2, 0, BCD_OK, "00 0C"}, {L"    ", 2, 2, BCD_OK, "00 0C"},
        // decimals
        {L"12.5", 2, 1, BCD_OK, "12 5C"}, {L"12", 2, 1, BCD_OK, "12 0C"}, {L".5", 2, 1, BCD_OK, "00 5C"},
        {L"5.", 1, 0, BCD_OK, "5C"}, {L"0.05", 3, 2, BCD_OK, "00 00 5C"}, {L"-1.23", 2, 2, BCD_OK, "12 3D"},
        {L"0001.50", 2, 2, BCD_OK, "15 0C"}, {L"12.3", 4, 4, BCD_OK, "01 23 00 0C"},
        {L"123", 3, 4, BCD_TOO_LARGE, "EE EE EE"},
        // rounding half away from zero
        {L"12.54", 2, 1, BCD_OK, "12 5C"}, {L"12.55", 2, 1, BCD_OK, "12 6C"}, {L"-12.55", 2, 1, BCD_OK, "12 6D"},
        {L"-12.549999", 2, 1, BCD_OK, "12 5D"}, {L"1.005", 2, 2, BCD_OK, "10 1C"}, {L"0.5", 1, 0, BCD_OK, "1C"},
        {L"0.49", 1, 0, BCD_OK, "0C"}, {L"-0.04", 2, 1, BCD_OK, "00 0C"}, {L"-0.05", 2, 1, BCD_OK, "00 1D"},
        {L"99.94", 2, 1, BCD_OK, "99 9C"}, {L"99.96", 2, 1, BCD_TOO_LARGE, ee2}, {L"9.5", 1, 0, BCD_TOO_LARGE, "EE"},
        // exponents, as the system writes very large and very small numbers
        {L"1E3", 3, 0, BCD_OK, "01 00 0C"}, {L"1e+3", 3, 0, BCD_OK, "01 00 0C"}, {L"1E-05", 3, 5, BCD_OK, "00 00 1C"},
        {L"-2.5E-1", 2, 2, BCD_OK, "02 5D"}, {L"5E-999999999", 2, 2, BCD_OK, "00 0C"},
        {L"1.23456789012346E+17", 10, 0, BCD_OK, "01 23 45 67 89 01 23 46 00 0C"},
        {L"1E999999999", 2, 0, BCD_TOO_LARGE, ee2},
        // integer digits; leading zeros do not count
        {L"00009", 1, 0, BCD_OK, "9C"}, {L"10", 1, 0, BCD_TOO_LARGE, "EE"}, {L"-999", 2, 0, BCD_OK, "99 9D"},
        {L"1000", 2, 0, BCD_TOO_LARGE, ee2},
        // not a number
        {L"abc", 2, 0, BCD_NOT_A_NUMBER, ee2}, {L"1.2.3", 2, 0, BCD_NOT_A_NUMBER, ee2},
        {L"--1", 2, 0, BCD_NOT_A_NUMBER, ee2}, {L"-1-", 2, 0, BCD_NOT_A_NUMBER, ee2},
        {L"1 2", 2, 0, BCD_NOT_A_NUMBER, ee2}, {L"- 1", 2, 0, BCD_NOT_A_NUMBER, ee2},
        {L"1,5", 2, 1, BCD_NOT_A_NUMBER, ee2}, {L"1e", 2, 0, BCD_NOT_A_NUMBER, ee2},
        {L"e5", 2, 0, BCD_NOT_A_NUMBER, ee2}, {L"1E2.5", 2, 0, BCD_NOT_A_NUMBER, ee2},
        {L".", 2, 0, BCD_NOT_A_NUMBER, ee2}, {L"-", 2, 0, BCD_NOT_A_NUMBER, ee2},
        {L"0x10", 2, 0, BCD_NOT_A_NUMBER, ee2}, {L"\x0661", 2, 0, BCD_NOT_A_NUMBER, ee2},
        {L"1\t", 2, 0, BCD_NOT_A_NUMBER, ee2},
        // lengths
        {L"1", 17, 0, BCD_INVALID_LENGTH, Hex(Bytes(17, 0xEE))}, {L"1", 2, -1, BCD_INVALID_LENGTH, ee2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.text)));
        EXPECT_EQ(Pack(row.text, row.bytes, row.decimals), std::make_pair(row.result, row.hex));
    }
    uint8_t byte = 0xEE;
    EXPECT_EQ(RfcConvertCharToBcdU(L"1", 1, 0, &byte, 0), BCD_INVALID_LENGTH);
    EXPECT_EQ(RfcConvertCharToBcdU(L"1", -1, 0, &byte, 1), BCD_INVALID_LENGTH);
    EXPECT_EQ(byte, 0xEE);
    EXPECT_EQ(RfcConvertCharToBcdU(L"7x", 1, 0, &byte, 1), BCD_OK); // only the characters given
    EXPECT_EQ(byte, 0x7C);
}

TEST(PackedToText, KnownConversions)
{
    const struct {
        const char* hex;
        int decimals, result;
        const wchar_t* text;
    } rows[] = {
        {"0C", 0, BCD_OK, L"0"}, {"5D", 0, BCD_OK, L"-5"}, {"0D", 0, BCD_OK, L"0"}, {"00 0D", 1, BCD_OK, L"0.0"},
        {"12 5C", 1, BCD_OK, L"12.5"}, {"00 5C", 1, BCD_OK, L"0.5"}, {"00 5C", 3, BCD_OK, L"0.005"},
        {"12 3D", 2, BCD_OK, L"-1.23"}, {"01 23 00 0C", 4, BCD_OK, L"12.3000"}, {"00 00 1C", 0, BCD_OK, L"1"},
        // sign nibbles: only D is negative; a digit is no sign
        {"1A", 0, BCD_OK, L"1"}, {"1B", 0, BCD_OK, L"1"}, {"1E", 0, BCD_OK, L"1"}, {"1F", 0, BCD_OK, L"1"},
        {"12", 0, BCD_NOT_A_NUMBER, L""}, {"19", 0, BCD_NOT_A_NUMBER, L""},
        {"A0 0C", 0, BCD_NOT_A_NUMBER, L""}, {"0F 0C", 0, BCD_NOT_A_NUMBER, L""},
        {"00", 0, BCD_NOT_A_NUMBER, L""}, {"12 3C", -1, BCD_INVALID_LENGTH, L""},
        {"00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 0C", 0, BCD_INVALID_LENGTH, L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.hex);
        const auto [result, text] = Unpack(FromHex(row.hex), row.decimals);
        EXPECT_EQ(result, row.result);
        if (result == BCD_OK) {
            EXPECT_EQ(text, row.text);
        }
    }
}

TEST(PackedToText, PadsWithBlanksAndStaysInsideTheBuffer)
{
    EdgeField text(16);
    const uint8_t minusFive = 0x5D, image[] = {0x12, 0x3D};
    EXPECT_EQ(RfcConvertBcdToCharU(&minusFive, 1, 0, text.chars(), 8), BCD_OK);
    EXPECT_EQ(text.Text(), L"-5      ");
    EXPECT_EQ(RfcConvertBcdToCharU(image, 2, 2, text.chars(), 5), BCD_OK);
    EXPECT_EQ(text.Text().substr(0, 5), L"-1.23");
    EXPECT_EQ(RfcConvertBcdToCharU(image, 2, 2, text.chars(), 4), BCD_TOO_LARGE);
    // The longest text: 31 digits, sign and point.
    Bytes longest(16, 0x99);
    longest.back() = 0x9D;
    EXPECT_EQ(Unpack(longest, 10, 33), std::make_pair(int(BCD_OK), L"-" + std::wstring(21, L'9') + L"." + std::wstring(10, L'9')));
    EXPECT_EQ(Unpack(longest, 10, 32).first, BCD_TOO_LARGE);
}

TEST(PackedLimits, TheLargestNumberOfEveryLengthFitsAndOneMoreDigitDoesNot)
{
    for (int bytes = 1; bytes <= 16; ++bytes) {
        SCOPED_TRACE(bytes);
        const int digits = 2 * bytes - 1;
        const std::wstring nines(size_t(digits), L'9'), fraction = L"0." + nines;
        const std::string body = bytes > 1 ? Hex(Bytes(size_t(bytes - 1), 0x99)) + " " : "";
        EXPECT_EQ(Pack(nines, bytes, 0), std::make_pair(int(BCD_OK), body + "9C"));
        EXPECT_EQ(Pack(L"-" + nines, bytes, 0).second, body + "9D");
        EXPECT_EQ(Pack(L"1" + std::wstring(size_t(digits), L'0'), bytes, 0).first, BCD_TOO_LARGE);
        EXPECT_EQ(Unpack(FromHex(body + "9D"), 0).second, L"-" + nines);
        EXPECT_EQ(Pack(fraction, bytes, digits).second, body + "9C");
        EXPECT_EQ(Unpack(FromHex(body + "9D"), digits).second, L"-" + fraction);
        EXPECT_EQ(Pack(L"1." + nines, bytes, digits).first, BCD_TOO_LARGE);
    }
}

// A number that fits its field, written with random blanks, leading zeros and sign forms, and
// the text it reads back as.
struct Generated {
    int bytes, decimals;
    std::wstring written, normalised;
};

Generated Generate(std::mt19937& random)
{
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    Generated n;
    n.bytes = pick(1, 16);
    n.decimals = pick(0, 2 * n.bytes - 1);
    std::wstring digits(size_t(pick(0, 2 * n.bytes - 1)), L'0');
    for (auto& d : digits)
        d = wchar_t(L'0' + pick(0, 9));
    digits.erase(0, std::min(digits.find_first_not_of(L'0'), digits.size()));
    const bool negative = pick(0, 1) && !digits.empty();
    const size_t fraction = size_t(n.decimals);
    if (digits.size() <= fraction)
        digits.insert(0, fraction + 1 - digits.size(), L'0');
    const std::wstring number = digits.substr(0, digits.size() - fraction) +
                                (fraction ? L"." + digits.substr(digits.size() - fraction) : L"");
    n.normalised = (negative ? L"-" : L"") + number;
    const std::wstring blanks(size_t(pick(0, 2)), L' '), body = std::wstring(size_t(pick(0, 2)), L'0') + number;
    const int form = pick(0, 2);
    n.written = form == 0   ? blanks + (negative ? L"-" : L"") + body + blanks
                : form == 1 ? blanks + body + (negative ? L"-" : L"+") + blanks
                            : (negative ? L"-" : L"+") + body;
    return n;
}

TEST(PackedRoundTrip, TextToPackedToTextGivesTheNormalisedText)
{
    std::mt19937 random(20240607);
    for (int i = 0; i < 20000; ++i) {
        const Generated n = Generate(random);
        Bytes image(static_cast<size_t>(n.bytes));
        ASSERT_EQ(RfcConvertCharToBcdU(n.written.c_str(), int(n.written.size()), n.decimals, image.data(), n.bytes),
                  BCD_OK) << testing::PrintToString(n.written);
        ASSERT_EQ(Unpack(image, n.decimals), std::make_pair(int(BCD_OK), n.normalised))
            << testing::PrintToString(n.written);
    }
}

TEST(PackedRoundTrip, PackedToTextToPackedKeepsEveryImage)
{
    std::mt19937 random(7);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int i = 0; i < 20000; ++i) {
        const int bytes = pick(1, 16), decimals = pick(0, 2 * bytes + 1);
        Bytes image(static_cast<size_t>(bytes));
        for (auto& b : image)
            b = uint8_t(pick(0, 9) << 4 | pick(0, 9));
        const bool zero = std::all_of(image.begin(), image.end() - 1, [](uint8_t b) { return b == 0; }) &&
                          image.back() < 0x10;
        image.back() = uint8_t((image.back() & 0xF0) | (pick(0, 1) && !zero ? 0xD : 0xC)); // zero is positive
        const auto [result, text] = Unpack(image, decimals, 64);
        ASSERT_EQ(result, BCD_OK);
        Bytes again(image.size(), 0xEE);
        ASSERT_EQ(RfcConvertCharToBcdU(text.c_str(), int(text.size()), decimals, again.data(), bytes), BCD_OK);
        ASSERT_EQ(Hex(again), Hex(image)) << testing::PrintToString(text);
    }
}

// Rounding against integer arithmetic: one decimal more than the field takes.
TEST(PackedRoundTrip, AnExtraDecimalRoundsHalfAwayFromZero)
{
    std::mt19937 random(99);
    for (int i = 0; i < 20000; ++i) {
        const long long tenths = std::uniform_int_distribution<long long>(-99'999'999'999LL, 99'999'999'999LL)(random);
        const long long magnitude = std::llabs(tenths), rounded = magnitude / 10 + (magnitude % 10 >= 5);
        const std::wstring sign = tenths < 0 ? L"-" : L"";
        const std::wstring text = sign + std::to_wstring(magnitude / 10) + L"." + std::to_wstring(magnitude % 10);
        Bytes image(8);
        ASSERT_EQ(RfcConvertCharToBcdU(text.c_str(), int(text.size()), 0, image.data(), 8), BCD_OK);
        ASSERT_EQ(Unpack(image, 0).second, (rounded ? sign : L"") + std::to_wstring(rounded)) << testing::PrintToString(text);
    }
}

} // namespace
