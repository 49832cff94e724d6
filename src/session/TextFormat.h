#pragma once
// printf-style text with the Microsoft runtime's rules, where %s in a wide format takes a wide
// string: the form of every trace and message text of the component.
#include <cstdarg>
#include <cstddef>
#include <string>

namespace tolvane {

// At most `limit` characters; longer results are cut (for trace lines only).
std::wstring FormatTextV(size_t limit, const wchar_t* format, va_list args);
// The whole text, however long (URLs, messages).
std::wstring FormatText(const wchar_t* format, ...);

} // namespace tolvane
