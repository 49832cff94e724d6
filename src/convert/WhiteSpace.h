#pragma once
// White space at the ends of fixed-width text, as received field images and table columns
// carry it. Such text is mostly blanks at its end (a table row read as one wide text field is
// four-fifths padding), so the blank is tested before the C library is asked, and a trailing
// run of blanks goes eight characters at a time.
#include <cstring>
#include <cwctype>
#include <iterator>
#include <string_view>

namespace tolvane {

inline bool IsWhiteSpace(wchar_t c) noexcept { return c == L' ' || std::iswspace(c); }

inline std::wstring_view TrimEnd(std::wstring_view text) noexcept
{
    static constexpr wchar_t kBlanks[] = L"        ";
    constexpr size_t kRun = std::size(kBlanks) - 1;
    while (text.size() >= kRun && std::memcmp(text.data() + text.size() - kRun, kBlanks, sizeof kBlanks - sizeof(wchar_t)) == 0)
        text.remove_suffix(kRun);
    while (!text.empty() && IsWhiteSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

inline std::wstring_view Trim(std::wstring_view text) noexcept
{
    while (!text.empty() && IsWhiteSpace(text.front()))
        text.remove_prefix(1);
    return TrimEnd(text);
}

} // namespace tolvane
