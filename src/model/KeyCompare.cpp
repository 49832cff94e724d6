#include "KeyCompare.h"

namespace tolvane {

int CompareKeys(std::wstring_view a, std::wstring_view b) noexcept
{
    if (a.empty() || b.empty())
        return a.empty() ? (b.empty() ? 0 : -1) : 1;
    const int result = CompareStringW(LOCALE_USER_DEFAULT, 0, a.data(), static_cast<int>(a.size()), b.data(),
                                      static_cast<int>(b.size()));
    // CSTR_LESS_THAN = 1, CSTR_EQUAL = 2, CSTR_GREATER_THAN = 3; 0 on failure, ordered as text.
    if (result == 0)
        return a.compare(b);
    return result - CSTR_EQUAL;
}

} // namespace tolvane
