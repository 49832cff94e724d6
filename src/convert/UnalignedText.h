#pragma once
// Field images may sit at any offset of a record, so their characters are written and read by
// copying, never through a wchar_t pointer.
#include <array>
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

// The same for a short image of known length, without a heap allocation.
template <size_t Count>
std::array<wchar_t, Count> LoadCharArray(const void* at) noexcept
{
    std::array<wchar_t, Count> text;
    std::memcpy(text.data(), at, Count * sizeof(wchar_t));
    return text;
}

} // namespace tolvane
