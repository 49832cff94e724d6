#include "FixedNumber.h"

#include <cwchar>
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
    const std::wstring text(chars, chars ? count : 0);
    return std::wcstod(text.c_str(), nullptr);
}

} // namespace tolvane
