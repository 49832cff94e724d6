#include "Text.h"

#include "Utf16.h"

#include <algorithm>
#include <cwchar>

namespace nwrfc {

std::string toUtf8(Uview text)
{
    return simrfc::toUtf8(text);
}

Ustring fromUtf8(std::string_view text)
{
    return simrfc::fromUtf8(text);
}

Uview view(const SAP_UC* text)
{
    return text == nullptr ? Uview() : Uview(text, std::wcslen(text));
}

void copyTo(SAP_UC* target, size_t capacity, Uview text)
{
    if (target == nullptr || capacity == 0)
        return;
    const size_t n = std::min(text.size(), capacity - 1);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), target);
    target[n] = 0;
}

std::string lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return out;
}

std::string upper(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    return out;
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    return lower(a) == lower(b);
}

} // namespace nwrfc
