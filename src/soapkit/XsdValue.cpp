#include "XsdValue.h"

#include "Base64.h"
#include "SoapError.h"
#include "TextCodec.h"
#include "com/SafeArray.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace soapkit {
namespace {

constexpr long long kOleEpochDays = -25569; // 1899-12-30, in days from 1970-01-01

struct Civil {
    int year = 0;
    unsigned month = 0, day = 0;
};

// Days from 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
long long days_from_civil(int y, unsigned m, unsigned d) noexcept
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

Civil civil_from_days(long long z) noexcept
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

unsigned days_in_month(int year, unsigned month) noexcept
{
    static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::string_view trim(std::string_view text) noexcept
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

[[noreturn]] void not_a(std::wstring_view type, std::string_view text)
{
    fail(DISP_E_TYPEMISMATCH, L"'" + to_wide(text) + L"' is not a valid xsd:" + std::wstring(type));
}

template <class Number>
Number parse_number(std::string_view text, std::wstring_view type)
{
    std::string_view digits = text;
    if (digits.starts_with('+') && !digits.starts_with("+-"))
        digits.remove_prefix(1);
    Number value{};
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc::result_out_of_range)
        fail(DISP_E_OVERFLOW, L"'" + to_wide(text) + L"' is outside the range of xsd:" + std::wstring(type));
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty())
        not_a(type, text);
    return value;
}

template <class Target>
Target ranged(long long value, std::string_view text, std::wstring_view type)
{
    if (value < std::numeric_limits<Target>::min() || value > std::numeric_limits<Target>::max())
        fail(DISP_E_OVERFLOW, L"'" + to_wide(text) + L"' is outside the range of xsd:" + std::wstring(type));
    return static_cast<Target>(value);
}

double parse_double(std::string_view text, std::wstring_view type)
{
    if (text == "INF" || text == "+INF")
        return std::numeric_limits<double>::infinity();
    if (text == "-INF")
        return -std::numeric_limits<double>::infinity();
    if (text == "NaN")
        return std::numeric_limits<double>::quiet_NaN();
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E'))
            not_a(type, text);
    return parse_number<double>(text, type);
}

// Fixed-width unsigned digits at text[at, at + n).
bool digits_at(std::string_view text, size_t at, size_t n, unsigned& value) noexcept
{
    if (at + n > text.size())
        return false;
    value = 0;
    for (size_t i = at; i < at + n; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
    }
    return true;
}

// What may follow a date or time: nothing, "Z", or a "+hh:mm" / "-hh:mm" offset.
bool is_zone(std::string_view rest) noexcept
{
    unsigned h = 0, m = 0;
    return rest.empty() || rest == "Z" ||
           (rest.size() == 6 && (rest[0] == '+' || rest[0] == '-') && digits_at(rest, 1, 2, h) && rest[3] == ':' &&
            digits_at(rest, 4, 2, m) && h <= 14 && m < 60);
}

// "YYYY-MM-DD" (or the compact "YYYYMMDD"); sets `consumed`. False for a malformed date.
bool parse_civil(std::string_view text, Civil& date, size_t& consumed) noexcept
{
    unsigned y = 0;
    if (!digits_at(text, 0, 4, y))
        return false;
    date.year = static_cast<int>(y);
    if (text.size() > 4 && text[4] == '-') {
        consumed = 10;
        return text.size() >= 10 && digits_at(text, 5, 2, date.month) && text[7] == '-' && digits_at(text, 8, 2, date.day);
    }
    consumed = 8;
    return digits_at(text, 4, 2, date.month) && digits_at(text, 6, 2, date.day);
}

bool valid_civil(const Civil& d) noexcept
{
    return d.year >= 1 && d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= days_in_month(d.year, d.month);
}

// "hh:mm:ss" with optional fraction; the fraction of a day, sets `consumed`.
bool parse_clock(std::string_view text, double& fraction, size_t& consumed) noexcept
{
    unsigned h = 0, m = 0, s = 0;
    if (!digits_at(text, 0, 2, h) || text.size() < 8 || text[2] != ':' || !digits_at(text, 3, 2, m) || text[5] != ':' ||
        !digits_at(text, 6, 2, s) || h > 24 || m > 59 || s > 59 || (h == 24 && (m || s)))
        return false;
    double seconds = h * 3600.0 + m * 60.0 + s;
    consumed = 8;
    if (consumed < text.size() && text[consumed] == '.') {
        double scale = 0.1;
        size_t i = consumed + 1;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10)
            seconds += (text[i] - '0') * scale;
        if (i == consumed + 1)
            return false;
        consumed = i;
    }
    fraction = seconds / 86400.0;
    return true;
}

DATE ole_date(const Civil& d, double fraction) noexcept
{
    const double days = static_cast<double>(days_from_civil(d.year, d.month, d.day) - kOleEpochDays);
    // Automation dates before the epoch count the time of day away from zero.
    return days < 0 ? days - fraction : days + fraction;
}

com::variant date_variant(DATE value)
{
    com::variant v;
    V_VT(v.addr()) = VT_DATE;
    V_DATE(v.addr()) = value;
    return v;
}

com::variant read_date(std::string_view text, std::wstring_view type)
{
    if (text == "0000-00-00" || text == "00000000")
        return {};
    Civil date;
    size_t used = 0;
    if (!parse_civil(text, date, used) || !valid_civil(date) || !is_zone(text.substr(used)))
        not_a(type, text);
    return date_variant(ole_date(date, 0));
}

com::variant read_time(std::string_view text, std::wstring_view type)
{
    double fraction = 0;
    size_t used = 0;
    if (!parse_clock(text, fraction, used) || !is_zone(text.substr(used)))
        not_a(type, text);
    return date_variant(fraction);
}

com::variant read_date_time(std::string_view text, std::wstring_view type)
{
    Civil date;
    size_t used = 0, clock_used = 0;
    double fraction = 0;
    if (!parse_civil(text, date, used) || used != 10 || !valid_civil(date) || text.size() <= used ||
        text[used] != 'T' || !parse_clock(text.substr(used + 1), fraction, clock_used) ||
        !is_zone(text.substr(used + 1 + clock_used)))
        not_a(type, text);
    return date_variant(ole_date(date, fraction));
}

com::variant byte_variant(const std::vector<uint8_t>& bytes)
{
    com::safearray array = com::safearray::bytes(bytes.size());
    if (!bytes.empty()) {
        com::array_data<uint8_t> data(array.get());
        std::copy(bytes.begin(), bytes.end(), data.data());
    }
    com::variant v;
    V_VT(v.addr()) = VT_ARRAY | VT_UI1;
    V_ARRAY(v.addr()) = array.detach();
    return v;
}

com::variant read_hex(std::string_view text, std::wstring_view type)
{
    if (text.size() % 2 != 0)
        not_a(type, text);
    std::vector<uint8_t> bytes(text.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(text.data() + 2 * i, text.data() + 2 * i + 2, value, 16);
        if (error != std::errc() || end != text.data() + 2 * i + 2)
            not_a(type, text);
        bytes[i] = static_cast<uint8_t>(value);
    }
    return byte_variant(bytes);
}

com::variant read_boolean(std::string_view text, std::wstring_view type)
{
    if (text != "true" && text != "1" && text != "false" && text != "0")
        not_a(type, text);
    return com::variant(text == "true" || text == "1");
}

com::variant read_decimal(std::string_view text, std::wstring_view type)
{
    com::variant v;
    std::wstring wide = to_wide(text);
    if (FAILED(VarDecFromStr(wide.data(), LOCALE_INVARIANT, 0, &V_DECIMAL(v.addr()))) || wide.empty())
        not_a(type, text);
    V_VT(v.addr()) = VT_DECIMAL;
    return v;
}

template <class T, VARTYPE Vt>
com::variant integer_variant(T value)
{
    com::variant v;
    V_VT(v.addr()) = Vt;
    if constexpr (Vt == VT_I8)
        V_I8(v.addr()) = value;
    else if constexpr (Vt == VT_I4)
        V_I4(v.addr()) = value;
    else if constexpr (Vt == VT_I2)
        V_I2(v.addr()) = value;
    else if constexpr (Vt == VT_I1)
        V_I1(v.addr()) = value;
    else if constexpr (Vt == VT_UI8)
        V_UI8(v.addr()) = value;
    else if constexpr (Vt == VT_UI4)
        V_UI4(v.addr()) = value;
    else if constexpr (Vt == VT_UI2)
        V_UI2(v.addr()) = value;
    else
        V_UI1(v.addr()) = value;
    return v;
}

com::variant text_variant(std::string_view utf8)
{
    com::variant v;
    V_VT(v.put()) = VT_BSTR;
    V_BSTR(v.addr()) = new_bstr(utf8);
    return v;
}

using Kind = XsdDecoder::Kind;

struct NamedKind {
    const wchar_t* name;
    Kind kind;
};

const NamedKind kKinds[] = {
    {L"string", Kind::String},         {L"normalizedString", Kind::String}, {L"token", Kind::String},
    {L"base64Binary", Kind::Base64},   {L"hexBinary", Kind::Hex},           {L"long", Kind::Long},
    {L"integer", Kind::Long},          {L"int", Kind::Int},                 {L"short", Kind::Short},
    {L"byte", Kind::Byte},             {L"unsignedLong", Kind::UnsignedLong}, {L"unsignedInt", Kind::UnsignedInt},
    {L"unsignedShort", Kind::UnsignedShort}, {L"unsignedByte", Kind::UnsignedByte}, {L"double", Kind::Double},
    {L"float", Kind::Float},           {L"decimal", Kind::Decimal},         {L"boolean", Kind::Boolean},
    {L"date", Kind::Date},             {L"time", Kind::Time},               {L"dateTime", Kind::DateTime},
};

Kind kind_of(std::wstring_view type) noexcept
{
    for (const NamedKind& entry : kKinds)
        if (type == entry.name)
            return entry.kind;
    return Kind::Unknown;
}

} // namespace

com::variant decode_xsd(std::string_view raw, std::wstring_view type) { return XsdDecoder(type).decode(raw); }

XsdDecoder::XsdDecoder(std::wstring_view type) : type_(type), kind_(kind_of(type)) {}

com::variant XsdDecoder::decode(std::string_view raw) const
{
    if (kind_ == Kind::String)
        return text_variant(raw);
    const std::string_view text = trim(raw);
    if (kind_ == Kind::Base64) {
        auto bytes = base64_decode(text);
        if (!bytes)
            not_a(type_, text);
        return byte_variant(*bytes);
    }
    if (kind_ == Kind::Hex)
        return read_hex(text, type_);
    if (kind_ == Kind::Unknown)
        fail(E_INVALIDARG, L"the XML Schema type '" + type_ + L"' is not supported");
    if (text.empty())
        return {};
    switch (kind_) {
    case Kind::Double:
        return com::variant(parse_double(text, type_));
    case Kind::Float: {
        com::variant v;
        V_VT(v.addr()) = VT_R4;
        V_R4(v.addr()) = static_cast<float>(parse_double(text, type_));
        return v;
    }
    case Kind::Decimal:
        return read_decimal(text, type_);
    case Kind::Boolean:
        return read_boolean(text, type_);
    case Kind::Date:
        // SAP writes the initial (unset) date as 0000-00-00: no date rather than a failure.
        if (text.find_first_not_of("0-") == std::string_view::npos)
            return {};
        return read_date(text, type_);
    case Kind::Time:
        return read_time(text, type_);
    case Kind::DateTime:
        return read_date_time(text, type_);
    default:
        return decode_integer(text);
    }
}

com::variant XsdDecoder::decode_integer(std::string_view text) const
{
    if (kind_ == Kind::UnsignedLong)
        return integer_variant<unsigned long long, VT_UI8>(parse_number<unsigned long long>(text, type_));
    const long long n = parse_number<long long>(text, type_);
    switch (kind_) {
    case Kind::Long: return integer_variant<long long, VT_I8>(n);
    case Kind::Int: return integer_variant<LONG, VT_I4>(ranged<LONG>(n, text, type_));
    case Kind::Short: return integer_variant<SHORT, VT_I2>(ranged<SHORT>(n, text, type_));
    case Kind::Byte: return integer_variant<CHAR, VT_I1>(ranged<signed char>(n, text, type_));
    case Kind::UnsignedInt: return integer_variant<ULONG, VT_UI4>(ranged<ULONG>(n, text, type_));
    case Kind::UnsignedShort: return integer_variant<USHORT, VT_UI2>(ranged<USHORT>(n, text, type_));
    default: return integer_variant<BYTE, VT_UI1>(ranged<BYTE>(n, text, type_));
    }
}

std::string date_text(DATE value)
{
    const double day = std::trunc(value);
    long long seconds = std::llround(std::fabs(value - day) * 86400.0);
    if (seconds >= 86400)
        seconds = 86399;
    const Civil d = civil_from_days(static_cast<long long>(day) + kOleEpochDays);
    char buffer[40];
    if (seconds == 0)
        std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", d.year, d.month, d.day);
    else
        std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02lld:%02lld:%02lld", d.year, d.month, d.day,
                      seconds / 3600, seconds / 60 % 60, seconds % 60);
    return buffer;
}

} // namespace soapkit
