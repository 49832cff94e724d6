#include "ScalarConversion.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace nwrfc {
namespace {

[[noreturn]] void refuse(const std::string& why)
{
    conversionFailure(why);
}

std::string typeName(const FieldType& t)
{
    return toUtf8(RfcGetTypeAsString(t.type));
}

[[noreturn]] void wrongType(const FieldType& t, const char* what)
{
    refuse(std::string("a field of type ") + typeName(t) + " cannot take or give " + what);
}

Uview trimRight(Uview s)
{
    while (!s.empty() && s.back() == L' ')
        s.remove_suffix(1);
    return s;
}

Uview trim(Uview s)
{
    s = trimRight(s);
    while (!s.empty() && (s.front() == L' ' || s.front() == L'\t'))
        s.remove_prefix(1);
    return s;
}

bool allDigits(Uview s)
{
    return std::all_of(s.begin(), s.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

std::string ascii(Uview s)
{
    std::string out;
    for (wchar_t c : s)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

int64_t parseInteger(Uview text)
{
    std::string s = ascii(trim(text));
    if (s.empty())
        return 0;
    if (s.front() == '+')
        s.erase(0, 1);
    if (s.size() > 1 && s.back() == '-' && s.front() != '-') { // ABAP writes the sign behind
        s.pop_back();
        s.insert(s.begin(), '-');
    }
    int64_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec == std::errc::result_out_of_range)
        refuse("'" + ascii(text) + "' is out of range");
    if (ec != std::errc() || end != s.data() + s.size())
        refuse("'" + ascii(text) + "' is not a number");
    return v;
}

double parseFloat(Uview text)
{
    std::string s = ascii(trim(text));
    if (s.empty())
        return 0;
    if (s.front() == '+')
        s.erase(0, 1);
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        refuse("'" + ascii(text) + "' is not a number");
    return v;
}

void checkRange(const FieldType& t, int64_t v)
{
    int64_t low = std::numeric_limits<int64_t>::min(), high = std::numeric_limits<int64_t>::max();
    if (t.type == RFCTYPE_INT || t.type == RFCTYPE_DTDAY || t.type == RFCTYPE_DTWEEK || t.type == RFCTYPE_DTMONTH ||
        t.type == RFCTYPE_TSECOND) {
        low = std::numeric_limits<int32_t>::min();
        high = std::numeric_limits<int32_t>::max();
    } else if (t.type == RFCTYPE_INT2 || t.type == RFCTYPE_TMINUTE || t.type == RFCTYPE_CDAY) {
        low = -32768;
        high = 32767;
    } else if (t.type == RFCTYPE_INT1) {
        low = 0;
        high = 255;
    }
    if (v < low || v > high)
        refuse(std::to_string(v) + " does not fit a field of type " + typeName(t));
}

// A packed number's text with exactly `decimals` digits after the point, rounded half away
// from zero; too many digits before the point is an overflow.
Ustring packed(const FieldType& t, Uview text)
{
    std::string s = ascii(trim(text));
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.erase(0, 1);
    } else if (!s.empty() && s.back() == '-') {
        negative = true;
        s.pop_back();
    }
    if (s.empty())
        s.assign(1, '0');
    const size_t point = s.find('.');
    std::string whole = s.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : s.substr(point + 1);
    const auto digitsOnly = [](const std::string& x) { return std::all_of(x.begin(), x.end(), [](char c) { return c >= '0' && c <= '9'; }); };
    if ((whole.empty() && fraction.empty()) || !digitsOnly(whole) || !digitsOnly(fraction))
        refuse("'" + ascii(text) + "' is not a number");
    const bool roundUp = fraction.size() > t.decimals && fraction[t.decimals] >= '5';
    fraction.resize(t.decimals, '0');
    std::string all = whole + fraction;
    if (roundUp) {
        int i = static_cast<int>(all.size()) - 1;
        while (i >= 0 && all[static_cast<size_t>(i)] == '9')
            all[static_cast<size_t>(i--)] = '0';
        if (i >= 0)
            ++all[static_cast<size_t>(i)];
        else
            all.insert(all.begin(), '1');
    }
    whole = all.substr(0, all.size() - t.decimals);
    fraction = all.substr(all.size() - t.decimals);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.size() > t.digits() - t.decimals)
        refuse("'" + ascii(text) + "' has more digits than the packed field takes");
    const bool zero = whole.empty() && fraction.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (negative && !zero)
        out += '-';
    out += whole.empty() ? std::string(1, '0') : whole;
    if (t.decimals > 0)
        out += "." + fraction;
    return fromUtf8(out);
}

std::string fromHex(Uview text)
{
    const std::string s = ascii(trim(text));
    if (s.size() % 2 != 0)
        refuse("hexadecimal text of odd length");
    std::string out;
    for (size_t i = 0; i < s.size(); i += 2) {
        unsigned v = 0;
        const auto [end, ec] = std::from_chars(s.data() + i, s.data() + i + 2, v, 16);
        if (ec != std::errc() || end != s.data() + i + 2)
            refuse("'" + s + "' is not hexadecimal");
        out += static_cast<char>(v);
    }
    return out;
}

Ustring toHex(std::string_view bytes)
{
    static constexpr wchar_t digits[] = L"0123456789ABCDEF";
    Ustring out;
    for (char b : bytes) {
        out += digits[(static_cast<unsigned char>(b) >> 4) & 0xF];
        out += digits[static_cast<unsigned char>(b) & 0xF];
    }
    return out;
}

Ustring floatChars(double v)
{
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 16);
    std::string s(buf, end);
    std::replace(s.begin(), s.end(), 'e', 'E');
    return fromUtf8(s);
}

std::string shortest(double v)
{
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, end);
}

void setFixedBytes(Scalar& v, const FieldType& t, std::string_view raw)
{
    if (t.type == RFCTYPE_BYTE) {
        if (raw.size() > t.length)
            refuse(std::to_string(raw.size()) + " bytes are too long for a field of " + std::to_string(t.length));
        v.bytes.assign(raw.data(), raw.size());
        v.bytes.resize(t.length, '\0');
    } else {
        v.bytes.assign(raw.data(), raw.size());
    }
}

Ustring digitText(const Ustring& digits, unsigned length, Uview original)
{
    Uview s = digits;
    while (s.size() > 1 && s.front() == L'0')
        s.remove_prefix(1);
    if (s.size() > length)
        refuse("'" + ascii(original) + "' is too long for a numeric text of " + std::to_string(length) + " digits");
    return Ustring(length - s.size(), L'0') + Ustring(s);
}

} // namespace

Scalar ScalarConversion::initial(const FieldType& t)
{
    Scalar v;
    switch (t.type) {
    case RFCTYPE_CHAR: v.text.assign(t.length, L' '); break;
    case RFCTYPE_NUM:
    case RFCTYPE_DATE:
    case RFCTYPE_TIME: v.text.assign(t.length, L'0'); break;
    case RFCTYPE_BCD: v.text = packed(t, L"0"); break;
    case RFCTYPE_BYTE: v.bytes.assign(t.length, '\0'); break;
    default: break;
    }
    return v;
}

void ScalarConversion::setText(Scalar& v, const FieldType& t, Uview text)
{
    switch (t.type) {
    case RFCTYPE_CHAR: {
        const Uview value = trimRight(text);
        if (value.size() > t.length)
            refuse("a text of " + std::to_string(value.size()) + " characters is too long for a field of " + std::to_string(t.length));
        v.text.assign(value);
        v.text.resize(t.length, L' ');
        return;
    }
    case RFCTYPE_NUM: {
        const Uview value = trim(text);
        if (!allDigits(value))
            refuse("'" + ascii(text) + "' is not a number (digits only)");
        v.text = digitText(Ustring(value.empty() ? Uview(L"0") : value), t.length, text);
        return;
    }
    case RFCTYPE_DATE:
    case RFCTYPE_TIME: {
        const Uview value = trim(text);
        if (value.empty()) {
            v.text.assign(t.length, L'0');
            return;
        }
        if (value.size() != t.length || !allDigits(value))
            refuse("'" + ascii(text) + "' is not a " + (t.type == RFCTYPE_DATE ? "date (YYYYMMDD)" : "time (HHMMSS)"));
        v.text.assign(value);
        return;
    }
    case RFCTYPE_BCD: v.text = packed(t, text); return;
    case RFCTYPE_STRING: v.text.assign(text); return;
    case RFCTYPE_BYTE:
    case RFCTYPE_XSTRING: setFixedBytes(v, t, fromHex(text)); return;
    default:
        if (t.integer())
            setInteger(v, t, parseInteger(text));
        else if (t.floating())
            v.number = parseFloat(text);
        else
            wrongType(t, "characters");
    }
}

void ScalarConversion::setInteger(Scalar& v, const FieldType& t, int64_t value)
{
    if (t.integer()) {
        checkRange(t, value);
        v.integer = value;
    } else if (t.floating()) {
        v.number = static_cast<double>(value);
    } else if (t.type == RFCTYPE_CHAR || t.type == RFCTYPE_STRING || t.type == RFCTYPE_BCD || t.type == RFCTYPE_NUM) {
        if (t.type == RFCTYPE_NUM && value < 0)
            refuse("a numeric text takes no negative number");
        setText(v, t, fromUtf8(std::to_string(value)));
    } else {
        wrongType(t, "an integer");
    }
}

void ScalarConversion::setFloat(Scalar& v, const FieldType& t, double value)
{
    if (!std::isfinite(value))
        refuse("not a finite number");
    if (t.floating()) {
        v.number = value;
    } else if (t.type == RFCTYPE_BCD) {
        char buf[400];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, static_cast<int>(t.decimals) + 1);
        v.text = packed(t, fromUtf8(std::string(buf, end)));
    } else if (t.integer()) {
        if (value != std::floor(value) || std::fabs(value) > 9.2e18)
            refuse(shortest(value) + " is not an integer");
        setInteger(v, t, static_cast<int64_t>(value));
    } else if (t.textual()) {
        setText(v, t, floatChars(value));
    } else {
        wrongType(t, "a floating point number");
    }
}

void ScalarConversion::setBytes(Scalar& v, const FieldType& t, std::string_view raw)
{
    if (t.binary())
        setFixedBytes(v, t, raw);
    else if (t.textual())
        setText(v, t, toHex(raw));
    else
        wrongType(t, "bytes");
}

void ScalarConversion::setDate(Scalar& v, const FieldType& t, Uview date)
{
    if (t.type != RFCTYPE_DATE && !t.textual())
        wrongType(t, "a date");
    const FieldType dateType{RFCTYPE_DATE, 8, 0, nullptr};
    Scalar checked;
    setText(checked, dateType, date.substr(0, 8));
    setText(v, t, checked.text);
}

void ScalarConversion::setTime(Scalar& v, const FieldType& t, Uview time)
{
    if (t.type != RFCTYPE_TIME && !t.textual())
        wrongType(t, "a time");
    const FieldType timeType{RFCTYPE_TIME, 6, 0, nullptr};
    Scalar checked;
    setText(checked, timeType, time.substr(0, 6));
    setText(v, t, checked.text);
}

Ustring ScalarConversion::chars(const Scalar& v, const FieldType& t)
{
    switch (t.type) {
    case RFCTYPE_CHAR:
    case RFCTYPE_NUM:
    case RFCTYPE_DATE:
    case RFCTYPE_TIME:
    case RFCTYPE_BCD:
    case RFCTYPE_STRING: return v.text;
    case RFCTYPE_BYTE:
    case RFCTYPE_XSTRING: return toHex(v.bytes);
    default:
        if (t.integer())
            return fromUtf8(std::to_string(v.integer));
        if (t.floating())
            return floatChars(v.number);
        wrongType(t, "characters");
    }
}

Ustring ScalarConversion::text(const Scalar& v, const FieldType& t)
{
    return t.type == RFCTYPE_CHAR ? Ustring(trimRight(v.text)) : chars(v, t);
}

Ustring ScalarConversion::digits(const Scalar& v, const FieldType& t)
{
    const Ustring s(trim(text(v, t)));
    if (!allDigits(s) || s.empty())
        refuse("'" + ascii(s) + "' is not a numeric text");
    return s;
}

Ustring ScalarConversion::date(const Scalar& v, const FieldType& t)
{
    if (t.type == RFCTYPE_DATE)
        return v.text;
    const Ustring s(trim(t.textual() ? v.text : Ustring()));
    if (!t.textual() || s.size() != 8 || !allDigits(s))
        refuse("the field holds no date");
    return s;
}

Ustring ScalarConversion::time(const Scalar& v, const FieldType& t)
{
    if (t.type == RFCTYPE_TIME)
        return v.text;
    const Ustring s(trim(t.textual() ? v.text : Ustring()));
    if (!t.textual() || s.size() != 6 || !allDigits(s))
        refuse("the field holds no time");
    return s;
}

int64_t ScalarConversion::integer(const Scalar& v, const FieldType& t)
{
    if (t.integer())
        return v.integer;
    switch (t.type) {
    case RFCTYPE_CHAR:
    case RFCTYPE_NUM:
    case RFCTYPE_STRING: return parseInteger(v.text);
    case RFCTYPE_BCD: {
        const size_t point = v.text.find(L'.');
        if (point != Ustring::npos && v.text.find_first_not_of(L'0', point + 1) != Ustring::npos)
            refuse("'" + ascii(v.text) + "' is not an integer");
        return parseInteger(Uview(v.text).substr(0, point));
    }
    case RFCTYPE_BYTE:
    case RFCTYPE_XSTRING: {
        if (v.bytes.size() > 8)
            refuse("more than 8 bytes do not make an integer");
        uint64_t n = 0;
        for (char b : v.bytes)
            n = (n << 8) | static_cast<unsigned char>(b);
        return static_cast<int64_t>(n);
    }
    default:
        if (t.floating() && v.number == std::floor(v.number) && std::fabs(v.number) < 9.2e18)
            return static_cast<int64_t>(v.number);
        if (t.floating())
            refuse(shortest(v.number) + " is not an integer");
        wrongType(t, "an integer");
    }
}

double ScalarConversion::floating(const Scalar& v, const FieldType& t)
{
    if (t.floating())
        return v.number;
    if (t.integer())
        return static_cast<double>(v.integer);
    if (t.type == RFCTYPE_BCD || t.textual() || t.type == RFCTYPE_NUM)
        return parseFloat(v.text);
    wrongType(t, "a floating point number");
}

std::string ScalarConversion::bytes(const Scalar& v, const FieldType& t)
{
    if (t.binary())
        return v.bytes;
    if (t.textual())
        return fromHex(v.text);
    wrongType(t, "bytes");
}

unsigned ScalarConversion::stringLength(const Scalar& v, const FieldType& t)
{
    if (t.binary())
        return static_cast<unsigned>(v.bytes.size());
    return static_cast<unsigned>(text(v, t).size());
}

simwire::WireValue ScalarConversion::toWire(const Scalar& v, const FieldType& t)
{
    if (t.binary())
        return simwire::WireValue::bytes(v.bytes);
    if (t.floating())
        return simwire::WireValue::text(shortest(v.number));
    if (t.integer())
        return simwire::WireValue::text(std::to_string(v.integer));
    return simwire::WireValue::text(toUtf8(text(v, t)));
}

void ScalarConversion::fromWire(Scalar& v, const FieldType& t, const simwire::WireValue& wire)
{
    if (wire.kind == simwire::WireValue::Kind::Bytes)
        setBytes(v, t, wire.scalar);
    else if (wire.kind == simwire::WireValue::Kind::Text)
        setText(v, t, fromUtf8(wire.scalar));
    else
        wrongType(t, "a structure or table");
}

} // namespace nwrfc
