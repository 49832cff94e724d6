#include "WideText.h"

#include "ApiFailure.h"
#include "MemoryCheck.h"
#include "Utf16.h"

#include <algorithm>

namespace classicrfc {

void copyTo(SAP_UC* target, size_t capacity, std::wstring_view text)
{
    if (target == nullptr || capacity == 0)
        return;
    const size_t n = std::min(text.size(), capacity - 1);
    std::copy_n(text.begin(), n, target);
    target[n] = 0;
}

void copyFixed(SAP_UC* target, size_t width, std::wstring_view text)
{
    const size_t n = std::min(text.size(), width);
    std::copy_n(text.begin(), n, target);
    std::fill(target + n, target + width, SAP_UC{0});
}

std::string utf8(std::wstring_view text)
{
    return simrfc::toUtf8(text);
}

std::wstring wide(std::string_view utf8)
{
    return simrfc::fromUtf8(utf8);
}

std::string upper(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    return out;
}

std::wstring callerText(const SAP_UC* text, size_t maxChars, const char* what)
{
    if (text == nullptr)
        invalidParameter(std::string(what) + " is null");
    const auto length = MemoryCheck::stringLength(text, maxChars);
    if (!length)
        invalidParameter(std::string(what) + " is not a readable text of at most " + std::to_string(maxChars) + " characters");
    return std::wstring(text, *length);
}

std::wstring callerText(const SAP_UC* text, unsigned length, size_t maxChars, const char* what)
{
    if (length == 0)
        return callerText(text, maxChars, what);
    if (length > maxChars)
        invalidParameter(std::string(what) + " is longer than " + std::to_string(maxChars) + " characters");
    if (text == nullptr || !MemoryCheck::readable(text, length * sizeof(SAP_UC)))
        invalidParameter(std::string(what) + " is not readable");
    std::wstring s(text, length);
    s.resize(std::min(s.find(L'\0'), s.size()));
    return s;
}

} // namespace classicrfc
