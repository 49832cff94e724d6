#include "DateTime.h"

#include "FixedNumber.h"
#include "UnalignedText.h"
#include "VariantDescription.h"
#include "VariantText.h"
#include "session/XTolvane.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

namespace tolvane {
namespace {

constexpr wchar_t kDateContext[] = L"RfcVariantToData(),TYPE_DATE";
constexpr wchar_t kTimeContext[] = L"RfcVariantToData(),TYPE_TIME";

bool IsDigit(wchar_t c) noexcept { return c >= L'0' && c <= L'9'; }

// The values that stand for an unset date or time: empty, the 4-byte integer 0, and the
// strings `zeros`, "" and " ". Only these exact variant types count.
bool IsInitialValue(const VARIANT& value, std::wstring_view zeros) noexcept
{
    switch (V_VT(&value)) {
    case VT_EMPTY:
        return true;
    case VT_I4:
        return V_I4(&value) == 0;
    case VT_BSTR: {
        const std::wstring_view text = com::view(V_BSTR(&value));
        return text == zeros || text.empty() || text == L" ";
    }
    default:
        return false;
    }
}

// A value passed by reference (as script hosts pass variables) read as the value it refers to;
// nothing for any other value.
std::optional<com::variant> Dereferenced(const VARIANT& value)
{
    com::variant direct;
    if (!(V_VT(&value) & VT_BYREF) || FAILED(VariantCopyInd(direct.addr(), const_cast<VARIANT*>(&value))))
        return std::nullopt;
    return direct;
}

// The value as a broken-down date-time; nothing when it does not convert or has no calendar form.
struct DateTimeParts {
    bool converted = false;
    std::optional<SYSTEMTIME> parts;
};

DateTimeParts ToDateTime(const VARIANT& value)
{
    DateTimeParts result;
    com::variant date;
    result.converted = ChangeVariantType(date, value, VT_DATE);
    SYSTEMTIME parts{};
    if (result.converted && std::isfinite(V_DATE(date.addr())) && VariantTimeToSystemTime(V_DATE(date.addr()), &parts))
        result.parts = parts;
    return result;
}

// Days since 1970-01-01 of a proleptic Gregorian date (after H. Hinnant's days_from_civil).
long long DaysFromCivil(long long year, unsigned month, unsigned day) noexcept
{
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

unsigned DaysInMonth(long long year, unsigned month) noexcept
{
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// The automation date (days since 1899-12-30) of a calendar date in the range it can hold.
std::optional<DATE> CalendarDate(long long year, long long month, long long day) noexcept
{
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1)
        return std::nullopt;
    if (day > DaysInMonth(year, static_cast<unsigned>(month)))
        return std::nullopt;
    constexpr long long kAutomationEpoch = -25569; // 1899-12-30 counted from 1970-01-01
    return static_cast<DATE>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                             kAutomationEpoch);
}

} // namespace

bool IsAbapDateText(std::wstring_view text) noexcept
{
    if (text.size() != kAbapDateLength || !std::all_of(text.begin(), text.end(), IsDigit))
        return false;
    const int month = (text[4] - L'0') * 10 + (text[5] - L'0');
    const int day = (text[6] - L'0') * 10 + (text[7] - L'0');
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool IsAbapTimeText(std::wstring_view text) noexcept
{
    if (text.size() == kAbapTimeLength)
        return std::all_of(text.begin(), text.end(), IsDigit);
    return text.size() == 8 && std::all_of(text.begin(), text.end(), [](wchar_t c) { return IsDigit(c) || c == L':'; });
}

void VariantToAbapDate(wchar_t* date, const VARIANT& value)
{
    if (const auto direct = Dereferenced(value))
        return VariantToAbapDate(date, direct->get());
    if (V_VT(&value) == VT_NULL)
        return StoreChars(date, std::wstring(kAbapDateLength, L'\0'));
    if (IsInitialValue(value, L"00000000"))
        return StoreChars(date, L"00000000");
    if (V_VT(&value) == VT_BSTR && IsAbapDateText(com::view(V_BSTR(&value))))
        return StoreChars(date, com::view(V_BSTR(&value)));

    const DateTimeParts converted = ToDateTime(value);
    if (!converted.converted)
        throw CXTolvane(DATE_TIME_CONVERSION);
    if (!converted.parts)
        throw CXTolvane(DATE_TIME_CONVERSION, L"not a valid date", kDateContext, VariantValueDisplay(value));
    const SYSTEMTIME& day = *converted.parts;
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"%4u%02u%02u", unsigned{day.wYear}, unsigned{day.wMonth}, unsigned{day.wDay});
    StoreChars(date, std::wstring_view(text, kAbapDateLength));
}

void VariantToAbapTime(wchar_t* time, const VARIANT& value)
{
    if (const auto direct = Dereferenced(value))
        return VariantToAbapTime(time, direct->get());
    if (V_VT(&value) == VT_NULL)
        return StoreChars(time, std::wstring(kAbapTimeLength, L'\0'));
    if (IsInitialValue(value, L"000000"))
        return StoreChars(time, L"000000");
    if (V_VT(&value) == VT_BSTR && IsAbapTimeText(com::view(V_BSTR(&value)))) {
        const std::wstring_view text = com::view(V_BSTR(&value));
        if (text.size() == kAbapTimeLength)
            return StoreChars(time, text);
        const wchar_t digits[] = {text[0], text[1], text[3], text[4], text[6], text[7]};
        return StoreChars(time, std::wstring_view(digits, kAbapTimeLength));
    }

    const DateTimeParts converted = ToDateTime(value);
    if (!converted.parts)
        throw CXTolvane(DATE_TIME_CONVERSION, L"not a valid time", kTimeContext, VariantValueDisplay(value));
    const SYSTEMTIME& clock = *converted.parts;
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"%02u%02u%02u", unsigned{clock.wHour}, unsigned{clock.wMinute},
                  unsigned{clock.wSecond});
    StoreChars(time, std::wstring_view(text, kAbapTimeLength));
}

bool AbapDateToVariant(com::variant& out, const wchar_t* date)
{
    out.clear();
    const auto text = LoadCharArray<kAbapDateLength>(date);
    const long long year = ParseFixedInt(text.data(), 4, false);
    const long long month = ParseFixedInt(text.data() + 4, 2, false);
    const long long day = ParseFixedInt(text.data() + 6, 2, false);
    if (year == 0 && month == 0 && day == 0)
        return true;
    const std::optional<DATE> serial = CalendarDate(year, month, day);
    if (!serial)
        return false;
    VARIANT* result = out.put();
    V_VT(result) = VT_DATE;
    V_DATE(result) = *serial;
    return true;
}

void AbapTimeToVariant(com::variant& out, const wchar_t* time)
{
    const auto text = LoadCharArray<kAbapTimeLength>(time);
    const auto hour = static_cast<unsigned>(ParseFixedInt(text.data(), 2, false));
    const auto minute = static_cast<unsigned>(ParseFixedInt(text.data() + 2, 2, false));
    const auto second = static_cast<unsigned>(ParseFixedInt(text.data() + 4, 2, false));
    // The time of day is worked out rather than parsed from "HH:MM:SS", so that it does not
    // depend on the time format of the user's regional settings.
    if (hour < 24 && minute < 60 && second < 60) {
        VARIANT* result = out.put();
        V_VT(result) = VT_DATE;
        V_DATE(result) = (hour * 3600 + minute * 60 + second) / 86400.0;
        return;
    }
    wchar_t clock[16];
    std::swprintf(clock, std::size(clock), L"%02u:%02u:%02u", hour, minute, second);
    out = com::variant(std::wstring_view(clock));
}

} // namespace tolvane
