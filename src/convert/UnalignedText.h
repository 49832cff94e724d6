#pragma once
// Field images may sit at any offset of a record, so their characters are written and read by
// copying, never through a wchar_t pointer.
#include <cstring>
#include <string>
#include <string_view>

namespace tolvane {

inline void StoreChars(void* at, std::wstring_view text) noexcept
{
    std::memcpy(at, text.data(), text.size() * sizeof(wchar_t));
}

inline std::wstring LoadChars(const void* at, size_t count)
{
    std::wstring text(count, L'\0');
    std::memcpy(text.data(), at, count * sizeof(wchar_t));
    return text;
}

} // namespace tolvane
