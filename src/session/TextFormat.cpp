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
    va_list args, measure;
    va_start(args, format);
    va_copy(measure, args);
    const int length = _vscwprintf(format, measure);
    va_end(measure);
    std::wstring text = length < 0 ? std::wstring() : FormatTextV(static_cast<size_t>(length), format, args);
    va_end(args);
    return text;
}

} // namespace tolvane
