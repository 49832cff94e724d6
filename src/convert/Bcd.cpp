// Packed decimals.
//
// Field image: two decimal digits per byte, high nibble first; the low nibble of the last byte
// is the sign: 0xD is negative, 0xC (written by us) and every other non-digit nibble positive.
// A field of b bytes holds 2b - 1 digits; the last `decimals` of them are the fraction.
//
// Text to packed (RfcConvertCharToBcdU):
//   - blanks before and after the number are ignored; an empty or all-blank text is zero;
//   - one optional sign, "+" or "-", either directly in front of the number or directly after it
//     ("-12.5" and "12.5-" are the same number);
//   - the number: digits with at most one decimal point "." and at least one digit (".5" and
//     "5." are numbers), optionally followed by an exponent "E" or "e", an optional sign and
//     digits, as the system's number-to-text conversion writes very large and very small numbers;
//   - more decimals than the field has are rounded half away from zero (1.005 at two decimals
//     is 1.01, -1.005 is -1.01);
//   - more integer digits than the field holds after rounding: BCD_TOO_LARGE; leading zeros do
//     not count;
//   - any other character, a second point or sign, or a sign inside the number: BCD_NOT_A_NUMBER;
//   - a field shorter than 1 or longer than 16 bytes, negative decimals or a negative text
//     length: BCD_INVALID_LENGTH.
//   Zero is always written positive.
//
// Packed to text (RfcConvertBcdToCharU):
//   - "-" in front of a negative number (a negative zero reads "0");
//   - the integer digits without leading zeros, at least "0";
//   - when decimals > 0, "." and exactly `decimals` fraction digits;
//   - so 0xC0 0x5C with one decimal reads "0.5" and 0x12 0x3D with two decimals "-1.23";
//   - a digit nibble above 9 or a digit in the sign position: BCD_NOT_A_NUMBER; a text that
//     does not fit the buffer: BCD_TOO_LARGE.
#include "Bcd.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <string>
#include <string_view>

namespace tolvane {
namespace {

// A number read from text: its significant digits and the power of ten they are scaled by.
struct DecimalNumber {
    bool negative = false;
    std::string digits; // without leading zeros; empty for zero
    long long exponent = 0;
};

// Exponents beyond this move every digit out of (or far beyond) any packed field.
constexpr long long kExponentLimit = 1'000'000;

bool IsDigit(wchar_t c) noexcept { return c >= L'0' && c <= L'9'; }
bool IsSign(wchar_t c) noexcept { return c == L'+' || c == L'-'; }

std::wstring_view TrimBlanks(std::wstring_view text) noexcept
{
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

// Takes a sign off the front or the end of `text`; false when it has one at both.
bool TakeSign(std::wstring_view& text, bool& negative) noexcept
{
    if (!text.empty() && IsSign(text.front())) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    } else if (!text.empty() && IsSign(text.back())) {
        negative = text.back() == L'-';
        text.remove_suffix(1);
    }
    return text.empty() || (!IsSign(text.front()) && !IsSign(text.back()));
}

// "E", optional sign, digits; saturates far beyond anything a field can use.
bool ReadExponent(std::wstring_view text, long long& exponent) noexcept
{
    bool negative = false;
    if (!text.empty() && IsSign(text.front())) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    long long value = 0;
    for (wchar_t c : text) {
        if (!IsDigit(c))
            return false;
        value = std::min(value * 10 + (c - L'0'), kExponentLimit);
    }
    exponent = negative ? -value : value;
    return true;
}

// Digits with at most one point, then an optional exponent.
bool ReadMantissa(std::wstring_view text, DecimalNumber& number) noexcept
{
    bool point = false, anyDigit = false;
    long long fractionDigits = 0;
    size_t i = 0;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'.' && !point) {
            point = true;
        } else if (IsDigit(c)) {
            anyDigit = true;
            fractionDigits += point ? 1 : 0;
            if (!number.digits.empty() || c != L'0')
                number.digits += static_cast<char>(c);
        } else {
            break;
        }
    }
    long long exponent = 0;
    if (i < text.size() && (text[i] != L'E' && text[i] != L'e'))
        return false;
    if (i < text.size() && !ReadExponent(text.substr(i + 1), exponent))
        return false;
    number.exponent = exponent - fractionDigits;
    return anyDigit;
}

bool ParseNumber(std::wstring_view text, DecimalNumber& number)
{
    text = TrimBlanks(text);
    if (text.empty())
        return true;
    return TakeSign(text, number.negative) && ReadMantissa(text, number);
}

// Adds one to a string of decimal digits.
void Increment(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// The digits of round(number * 10^decimals), half away from zero, without leading zeros;
// false when they are more than `capacity`.
bool ScaleToField(const DecimalNumber& number, int decimals, size_t capacity, std::string& result)
{
    const long long shift = number.exponent + decimals;
    const std::string& digits = number.digits;
    if (digits.empty()) {
        result.clear();
        return true;
    }
    if (shift >= 0) {
        if (static_cast<long long>(digits.size()) + shift > static_cast<long long>(capacity))
            return false;
        result = digits + std::string(static_cast<size_t>(shift), '0');
        return true;
    }
    const long long drop = -shift;
    const long long kept = static_cast<long long>(digits.size()) - drop;
    result = kept > 0 ? digits.substr(0, static_cast<size_t>(kept)) : std::string();
    const char roundDigit = kept >= 0 ? digits[static_cast<size_t>(kept)] : '0';
    if (roundDigit >= '5')
        Increment(result);
    return result.size() <= capacity;
}

void WritePacked(const std::string& digits, bool negative, uint8_t* bcd, int bcdLength)
{
    const size_t capacity = 2 * static_cast<size_t>(bcdLength) - 1;
    std::string all(capacity - digits.size(), '0');
    all += digits;
    for (int i = 0; i < bcdLength; ++i) {
        const int high = all[2 * i] - '0';
        const int low = 2 * i + 1 < static_cast<int>(capacity) ? all[2 * i + 1] - '0' : (negative ? 0xD : 0xC);
        bcd[i] = static_cast<uint8_t>(high << 4 | low);
    }
}

// The digits and sign of a packed image; false when a nibble is out of place.
bool ReadPacked(const uint8_t* bcd, int bcdLength, std::string& digits, bool& negative)
{
    const int nibbles = 2 * bcdLength;
    for (int i = 0; i < nibbles - 1; ++i) {
        const int nibble = i % 2 == 0 ? bcd[i / 2] >> 4 : bcd[i / 2] & 0xF;
        if (nibble > 9)
            return false;
        if (!digits.empty() || nibble != 0)
            digits += static_cast<char>('0' + nibble);
    }
    const int sign = bcd[bcdLength - 1] & 0xF;
    negative = sign == 0xD && !digits.empty();
    return sign > 9;
}

std::wstring FormatDecimal(const std::string& digits, bool negative, int decimals)
{
    const size_t fraction = static_cast<size_t>(decimals);
    std::string padded = digits.size() > fraction ? digits : std::string(fraction + 1 - digits.size(), '0') + digits;
    std::wstring text = negative ? L"-" : L"";
    text.append(padded.begin(), padded.end() - static_cast<std::ptrdiff_t>(fraction));
    if (decimals > 0) {
        text += L'.';
        text.append(padded.end() - static_cast<std::ptrdiff_t>(fraction), padded.end());
    }
    return text;
}

bool ValidField(const void* bcd, int bcdLength, int decimals) noexcept
{
    return bcd && bcdLength >= 1 && bcdLength <= kBcdMaxBytes && decimals >= 0;
}

} // namespace

int RfcConvertCharToBcdU(const wchar_t* text, int textLength, int decimals, uint8_t* bcd, int bcdLength) noexcept
{
    if (!ValidField(bcd, bcdLength, decimals) || textLength < 0 || (!text && textLength > 0))
        return BCD_INVALID_LENGTH;
    try {
        DecimalNumber number;
        if (!ParseNumber({text ? text : L"", static_cast<size_t>(textLength)}, number))
            return BCD_NOT_A_NUMBER;
        std::string digits;
        if (!ScaleToField(number, decimals, 2 * static_cast<size_t>(bcdLength) - 1, digits))
            return BCD_TOO_LARGE;
        WritePacked(digits, number.negative && !digits.empty(), bcd, bcdLength);
        return BCD_OK;
    } catch (const std::bad_alloc&) {
        return BCD_TOO_LARGE;
    }
}

int RfcConvertBcdToCharU(const uint8_t* bcd, int bcdLength, int decimals, wchar_t* text, int textLength) noexcept
{
    if (!ValidField(bcd, bcdLength, decimals) || textLength < 0 || (!text && textLength > 0))
        return BCD_INVALID_LENGTH;
    if (decimals >= textLength) // not even room for "0." and the fraction
        return BCD_TOO_LARGE;
    try {
        std::string digits;
        bool negative = false;
        if (!ReadPacked(bcd, bcdLength, digits, negative))
            return BCD_NOT_A_NUMBER;
        const std::wstring result = FormatDecimal(digits, negative, decimals);
        if (result.size() > static_cast<size_t>(textLength))
            return BCD_TOO_LARGE;
        std::fill(std::copy(result.begin(), result.end(), text), text + textLength, L' ');
        return BCD_OK;
    } catch (const std::bad_alloc&) {
        return BCD_TOO_LARGE;
    }
}

} // namespace tolvane
