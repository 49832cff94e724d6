#include "FixedNumber.h"

#include <charconv>
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>

namespace tolvane {

long long ParseFixedInt(const wchar_t* chars, size_t count, bool isSigned) noexcept
{
    std::wstring_view text(chars, chars ? count : 0);
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos)
        return 0;
    text = text.substr(first, text.find_last_not_of(L' ') - first + 1);

    const bool negative = isSigned && (text.front() == L'-' || text.back() == L'-');
    constexpr long long kMax = std::numeric_limits<long long>::max();
    long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            continue;
        const int digit = c - L'0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return negative ? -value : value;
}

double ParseFixedFloat(const wchar_t* chars, size_t count)
{
    std::wstring_view text(chars, chars ? count : 0);
    // The common case, decimal text of a table column, without the slow wide-character
    // conversion: leading white space, a sign, digits, point and exponent.
    size_t start = 0;
    while (start < text.size() && std::iswspace(text[start]))
        ++start;
    if (start < text.size() && text[start] == L'+')
        ++start;
    char narrow[64] = {};
    size_t n = 0;
    for (size_t i = start; i < text.size() && n < sizeof narrow; ++i) {
        const wchar_t c = text[i];
        if (!((c >= L'0' && c <= L'9') || c == L'.' || c == L'-' || c == L'+' || c == L'e' || c == L'E'))
            break;
        narrow[n++] = static_cast<char>(c);
    }
    const wchar_t next = start + n < text.size() ? text[start + n] : L'\0';
    double value = 0;
    if (n < sizeof narrow && next != L'x' && next != L'X' &&
        std::from_chars(narrow, narrow + n, value).ec == std::errc())
        return value;
    // Anything else (hexadecimal, infinity, out of range) as the C library reads it.
    const std::wstring copy(text);
    return std::wcstod(copy.c_str(), nullptr);
}

} // namespace tolvane
