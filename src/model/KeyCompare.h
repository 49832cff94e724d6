#pragma once
// Names of types, parameters, fields and functions are compared the way the user's locale
// compares text, without flags: case-sensitive, and equal where the locale says so.
#include <windows.h>

#include <string>
#include <string_view>

namespace tolvane {

int CompareKeys(std::wstring_view a, std::wstring_view b) noexcept;

struct KeyLess {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const noexcept { return CompareKeys(a, b) < 0; }
};

} // namespace tolvane
