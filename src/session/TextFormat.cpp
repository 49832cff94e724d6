#include "TextFormat.h"

#include <cwchar>
#include <vector>

namespace tolvane {

std::wstring FormatTextV(size_t limit, const wchar_t* format, va_list args)
{
    std::vector<wchar_t> buffer(limit + 1);
    const int n = _vsnwprintf(buffer.data(), limit, format, args);
    return std::wstring(buffer.data(), n < 0 ? limit : static_cast<size_t>(n));
}

std::wstring FormatText(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring text = FormatTextV(2048, format, args);
    va_end(args);
    return text;
}

} // namespace tolvane
