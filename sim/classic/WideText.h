#pragma once

#include "include/ClassicRfcAbi.h"

#include <string>
#include <string_view>

namespace classicrfc {

std::string utf8(std::wstring_view text);
std::wstring wide(std::string_view utf8);
std::string upper(std::string_view text);

// Fills a fixed-width text field of a row: at most `width` characters, the rest zero, no
// terminator when the text fills the field.
void copyFixed(SAP_UC* target, size_t width, std::wstring_view text);
template <size_t N>
void copyFixed(SAP_UC (&target)[N], const std::string& utf8Text)
{
    copyFixed(target, N, wide(utf8Text));
}

// Copies into a fixed array of `capacity` characters, cut to fit, always null-terminated.
void copyTo(SAP_UC* target, size_t capacity, std::wstring_view text);
template <size_t N>
void copyTo(SAP_UC (&target)[N], std::wstring_view text)
{
    copyTo(target, N, text);
}
template <size_t N>
void copyTo(SAP_UC (&target)[N], const std::string& utf8)
{
    copyTo(target, N, std::wstring_view(wide(utf8)));
}

// A null-terminated text the caller passes, read only as far as its memory is readable and at
// most `maxChars` long: RFC_INVALID_PARAMETER naming `what` when it is null, unreadable or
// longer.
std::wstring callerText(const SAP_UC* text, size_t maxChars, const char* what);
// As callerText, but the text's length is given (0: null-terminated).
std::wstring callerText(const SAP_UC* text, unsigned length, size_t maxChars, const char* what);

} // namespace classicrfc
