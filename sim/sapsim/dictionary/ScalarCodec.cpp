#include "dictionary/ScalarCodec.h"

#include "text/Base64.h"
#include "text/Utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace sapsim {
namespace {

bool allDigits(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view trim(std::string_view s)
{
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const size_t last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

std::string_view trimRightBlanks(std::string_view s)
{
    const size_t last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

[[noreturn]] void refuse(const ScalarType& type, std::string_view text, const std::string& why)
{
    std::string shown(Utf8::prefix(text, 40));
    throw ConversionError("value '" + shown + "' does not fit type " + type.letter + ": " + why);
}

// Strips an XML Schema time zone ("Z", "+01:00", "-05:00") from a date or time.
std::string_view withoutZone(std::string_view s)
{
    if (!s.empty() && s.back() == 'Z')
        return s.substr(0, s.size() - 1);
    if (s.size() > 6 && (s[s.size() - 6] == '+' || s[s.size() - 6] == '-') && s[s.size() - 3] == ':')
        return s.substr(0, s.size() - 6);
    return s;
}

std::string dateFromText(const ScalarType& t, std::string_view text)
{
    const std::string_view s = withoutZone(trim(text));
    if (s.empty())
        return "00000000";
    if (s.size() == 8 && allDigits(s))
        return std::string(s);
    if (s.size() == 10 && s[4] == '-' && s[7] == '-') {
        std::string d = std::string(s.substr(0, 4)) + std::string(s.substr(5, 2)) + std::string(s.substr(8, 2));
        if (allDigits(d))
            return d;
    }
    refuse(t, text, "expected YYYY-MM-DD or YYYYMMDD");
}

std::string timeFromText(const ScalarType& t, std::string_view text)
{
    std::string_view s = withoutZone(trim(text));
    if (s.empty())
        return "000000";
    if (s.size() == 6 && allDigits(s))
        return std::string(s);
    if (s.size() > 8 && s[8] == '.' && allDigits(s.substr(9)))
        s = s.substr(0, 8);
    if (s.size() == 8 && s[2] == ':' && s[5] == ':') {
        std::string d = std::string(s.substr(0, 2)) + std::string(s.substr(3, 2)) + std::string(s.substr(6, 2));
        if (allDigits(d))
            return d;
    }
    refuse(t, text, "expected HH:MM:SS or HHMMSS");
}

std::string numcFromText(const ScalarType& t, std::string_view text)
{
    std::string_view s = trim(text);
    if (!allDigits(s))
        refuse(t, text, "only digits allowed");
    while (!s.empty() && s.front() == '0')
        s.remove_prefix(1);
    if (static_cast<int>(s.size()) > t.length)
        refuse(t, text, "more than " + std::to_string(t.length) + " digits");
    return std::string(t.length - s.size(), '0') + std::string(s);
}

int64_t parseInteger(const ScalarType& t, std::string_view text, int64_t low, int64_t high)
{
    std::string_view s = trim(text);
    if (s.empty())
        return 0;
    if (s.front() == '+')
        s.remove_prefix(1);
    int64_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty() || s.front() == '+')
        refuse(t, text, "not an integer");
    if (v < low || v > high)
        refuse(t, text, "out of range " + std::to_string(low) + ".." + std::to_string(high));
    return v;
}

std::string integerFromText(const ScalarType& t, std::string_view text)
{
    switch (t.letter) {
    case 'I': return std::to_string(parseInteger(t, text, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    case 's': return std::to_string(parseInteger(t, text, -32768, 32767));
    default: return std::to_string(parseInteger(t, text, 0, 255));
    }
}

std::string formatDouble(double v)
{
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, end);
}

double parseDouble(std::string_view s)
{
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

std::string floatFromText(const ScalarType& t, std::string_view text)
{
    std::string_view s = trim(text);
    if (s.empty())
        return "0";
    if (s.front() == '+')
        s.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v) || s.empty() || s.front() == '+')
        refuse(t, text, "not a finite floating point number");
    return formatDouble(v == 0 ? 0.0 : v);
}

// A decimal floating point number: [-]digits[.digits][E[+-]digits] with at most `digits`
// significant digits; kept as given, without a plus sign and with an upper-case E.
std::string decfloatFromText(const ScalarType& t, std::string_view text)
{
    std::string s(trim(text));
    if (s.empty())
        return "0";
    if (s.front() == '+')
        s.erase(0, 1);
    const size_t e = s.find_first_of("eE");
    const std::string mantissa = s.substr(0, e), exponent = e == std::string::npos ? std::string() : s.substr(e + 1);
    const std::string unsignedMantissa = !mantissa.empty() && mantissa.front() == '-' ? mantissa.substr(1) : mantissa;
    const size_t point = unsignedMantissa.find('.');
    std::string digits = unsignedMantissa.substr(0, point) + (point == std::string::npos ? "" : unsignedMantissa.substr(point + 1));
    std::string_view exponentDigits = exponent;
    if (!exponentDigits.empty() && (exponentDigits.front() == '+' || exponentDigits.front() == '-'))
        exponentDigits.remove_prefix(1);
    if (digits.empty() || !allDigits(digits) ||
        (e != std::string::npos && (exponentDigits.empty() || exponentDigits.size() > 4 || !allDigits(exponentDigits))))
        refuse(t, text, "not a decimal floating point number");
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    const size_t last = digits.find_last_not_of('0');
    if (last != std::string::npos && last + 1 > static_cast<size_t>(t.letter == 'a' ? 16 : 34))
        refuse(t, text, "more significant digits than the type holds");
    if (e != std::string::npos)
        s[e] = 'E';
    return s;
}

// A packed number as sign and decimal digits, with exactly `decimals` fractional digits.
struct Decimal {
    bool negative = false;
    std::string whole;    // no leading zeros, empty for zero
    std::string fraction; // exactly `decimals` digits

    bool zero() const
    {
        return whole.empty() && fraction.find_first_not_of('0') == std::string::npos;
    }
};

// Adds one unit of the last place to the digits in `whole` followed by `fraction`.
void roundUpLastPlace(Decimal& d)
{
    std::string all = d.whole + d.fraction;
    int i = static_cast<int>(all.size()) - 1;
    while (i >= 0 && all[i] == '9')
        all[i--] = '0';
    if (i >= 0)
        ++all[i];
    else
        all.insert(all.begin(), '1');
    const size_t wholeSize = all.size() - d.fraction.size();
    d.whole = all.substr(0, wholeSize);
    d.fraction = all.substr(wholeSize);
    const size_t nz = d.whole.find_first_not_of('0');
    d.whole = nz == std::string::npos ? std::string() : d.whole.substr(nz);
}

Decimal parseDecimal(const ScalarType& t, std::string_view text)
{
    std::string_view s = trim(text);
    Decimal d;
    d.fraction.assign(static_cast<size_t>(t.decimals), '0');
    if (s.empty())
        return d;
    if (s.front() == '-' || s.front() == '+') {
        d.negative = s.front() == '-';
        s.remove_prefix(1);
    } else if (!s.empty() && s.back() == '-') {
        d.negative = true;
        s.remove_suffix(1);
    }
    const size_t point = s.find('.');
    const std::string_view whole = s.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : s.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || !allDigits(whole) || !allDigits(fraction))
        refuse(t, text, "not a decimal number");
    const size_t nz = whole.find_first_not_of('0');
    d.whole = nz == std::string_view::npos ? std::string() : std::string(whole.substr(nz));
    const size_t keep = static_cast<size_t>(t.decimals);
    d.fraction = std::string(fraction.substr(0, keep));
    d.fraction.resize(keep, '0');
    if (fraction.size() > keep && fraction[keep] >= '5')
        roundUpLastPlace(d);
    if (static_cast<int>(d.whole.size()) > t.digits() - t.decimals)
        refuse(t, text, "more than " + std::to_string(t.digits() - t.decimals) + " digits before the decimal point");
    if (d.zero())
        d.negative = false;
    return d;
}

std::string packedText(const Decimal& d)
{
    std::string out = d.negative ? "-" : "";
    out += d.whole.empty() ? "0" : d.whole;
    if (!d.fraction.empty())
        out += "." + d.fraction;
    return out;
}

std::string bytesFromText(const ScalarType& t, std::string_view text, ScalarCodec::Binary binary)
{
    std::string bytes;
    if (binary == ScalarCodec::Binary::Base64) {
        auto decoded = Base64::decode(text);
        if (!decoded)
            refuse(t, text, "not base64");
        bytes = std::move(*decoded);
    } else {
        const std::string_view s = trim(text);
        if (s.size() % 2 != 0)
            refuse(t, text, "odd number of hexadecimal digits");
        for (size_t i = 0; i < s.size(); i += 2) {
            unsigned v = 0;
            const auto [end, ec] = std::from_chars(s.data() + i, s.data() + i + 2, v, 16);
            if (ec != std::errc() || end != s.data() + i + 2)
                refuse(t, text, "not hexadecimal");
            bytes += static_cast<char>(v);
        }
    }
    if (t.letter == 'X')
        bytes.resize(static_cast<size_t>(t.length), '\0');
    return bytes;
}

void appendRight(std::string& out, std::string_view text, int width)
{
    if (static_cast<int>(text.size()) < width)
        out.append(static_cast<size_t>(width) - text.size(), ' ');
    out += text;
}

// Numbers in table rows carry their sign behind the digits.
std::string trailingSign(std::string_view canonical)
{
    if (!canonical.empty() && canonical.front() == '-')
        return std::string(canonical.substr(1)) + "-";
    return std::string(canonical);
}

int compareDecimal(std::string_view a, std::string_view b)
{
    const bool na = !a.empty() && a.front() == '-';
    const bool nb = !b.empty() && b.front() == '-';
    if (na != nb)
        return na ? -1 : 1;
    if (na) {
        a.remove_prefix(1);
        b.remove_prefix(1);
    }
    const size_t pa = std::min(a.find('.'), a.size());
    const size_t pb = std::min(b.find('.'), b.size());
    int r = pa != pb ? (pa < pb ? -1 : 1) : a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
    return na ? -r : r;
}

} // namespace

std::string ScalarCodec::initial(const ScalarType& t)
{
    switch (t.letter) {
    case 'N': return std::string(static_cast<size_t>(t.length), '0');
    case 'D': return "00000000";
    case 'T': return "000000";
    case 'X': return std::string(static_cast<size_t>(t.length), '\0');
    case 'P': return t.decimals > 0 ? "0." + std::string(static_cast<size_t>(t.decimals), '0') : "0";
    case 'F':
    case 'I':
    case 's':
    case 'b':
    case 'a':
    case 'e': return "0";
    default: return {};
    }
}

std::string ScalarCodec::fromText(const ScalarType& t, std::string_view text, Binary binary)
{
    switch (t.letter) {
    case 'C': return std::string(trimRightBlanks(Utf8::prefix(text, static_cast<size_t>(t.length))));
    case 'N': return numcFromText(t, text);
    case 'D': return dateFromText(t, text);
    case 'T': return timeFromText(t, text);
    case 'P': return packedText(parseDecimal(t, text));
    case 'F': return floatFromText(t, text);
    case 'a':
    case 'e': return decfloatFromText(t, text);
    case 'I':
    case 's':
    case 'b': return integerFromText(t, text);
    case 'X':
    case 'y': return bytesFromText(t, text, binary);
    default: return std::string(text);
    }
}

std::string ScalarCodec::toXml(const ScalarType& t, std::string_view c)
{
    switch (t.letter) {
    case 'D': return std::string(c.substr(0, 4)) + "-" + std::string(c.substr(4, 2)) + "-" + std::string(c.substr(6, 2));
    case 'T': return std::string(c.substr(0, 2)) + ":" + std::string(c.substr(2, 2)) + ":" + std::string(c.substr(4, 2));
    case 'X':
    case 'y': return Base64::encode(c);
    default: return std::string(c);
    }
}

int ScalarCodec::fixedWidth(const ScalarType& t)
{
    switch (t.letter) {
    case 'X': return 2 * t.length;
    case 'P': return t.digits() + (t.decimals > 0 ? 1 : 0) + 1;
    case 'F': return 24;
    case 'a': return 24;
    case 'e': return 46;
    case 'I': return 11;
    case 's': return 6;
    case 'b': return 3;
    default: return t.length;
    }
}

void ScalarCodec::appendFixed(std::string& out, const ScalarType& t, std::string_view c)
{
    switch (t.letter) {
    case 'C': {
        out += c;
        const size_t chars = Utf8::length(c);
        if (static_cast<int>(chars) < t.length)
            out.append(static_cast<size_t>(t.length) - chars, ' ');
        return;
    }
    case 'X':
        out += hex(c);
        return;
    case 'F': {
        char buf[64];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, parseDouble(c), std::chars_format::scientific, 16);
        std::string text(buf, end);
        std::replace(text.begin(), text.end(), 'e', 'E');
        appendRight(out, text, fixedWidth(t));
        return;
    }
    case 'P':
    case 'I':
    case 's':
    case 'b':
        appendRight(out, trailingSign(c), fixedWidth(t));
        return;
    case 'a':
    case 'e':
        appendRight(out, c, fixedWidth(t));
        return;
    default:
        out += c;
    }
}

int ScalarCodec::compare(const ScalarType& t, std::string_view a, std::string_view b)
{
    switch (t.letter) {
    case 'P': return compareDecimal(a, b);
    case 'F':
    case 'a':
    case 'e': {
        const double x = parseDouble(a), y = parseDouble(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    case 'I':
    case 's':
    case 'b': {
        const int64_t x = toInteger(a), y = toInteger(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    default: {
        const int r = a.compare(b);
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    }
}

std::string ScalarCodec::fromInteger(const ScalarType& t, int64_t value)
{
    return fromText(t, std::to_string(value));
}

int64_t ScalarCodec::toInteger(std::string_view canonical)
{
    int64_t v = 0;
    std::from_chars(canonical.data(), canonical.data() + canonical.size(), v);
    return v;
}

std::string ScalarCodec::hex(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char b : bytes) {
        out += digits[(static_cast<unsigned char>(b) >> 4) & 0xF];
        out += digits[static_cast<unsigned char>(b) & 0xF];
    }
    return out;
}

} // namespace sapsim
