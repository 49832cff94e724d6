#pragma once

#include "include/NwRfcAbi.h"

#include <string>
#include <string_view>

namespace nwrfc {

using Ustring = std::wstring; // UTF-16, as SAP_UC is wchar_t here
using Uview = std::wstring_view;

std::string toUtf8(Uview text);
// Invalid UTF-8 bytes become U+FFFD.
Ustring fromUtf8(std::string_view text);
// A null-terminated input; null gives an empty text.
Uview view(const SAP_UC* text);
// Copies into a fixed array of `capacity` units, cut to fit, always null-terminated.
void copyTo(SAP_UC* target, size_t capacity, Uview text);
template <size_t N>
void copyTo(SAP_UC (&target)[N], Uview text)
{
    copyTo(target, N, text);
}
template <size_t N>
void copyTo(SAP_UC (&target)[N], std::string_view utf8)
{
    copyTo(target, N, fromUtf8(utf8));
}
std::string lower(std::string_view text);
std::string upper(std::string_view text);
bool equalNoCase(std::string_view a, std::string_view b);

} // namespace nwrfc
