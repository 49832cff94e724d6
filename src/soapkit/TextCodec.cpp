#include "TextCodec.h"

#include "SoapError.h"
#include "SoapKit.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <new>

namespace soapkit {
namespace {

constexpr UINT kUtf16Le = 1200;
constexpr UINT kUtf16Be = 1201;

struct NamedCodePage {
    const wchar_t* name;
    UINT code_page;
};

const NamedCodePage kCodePages[] = {
    {L"utf-8", CP_UTF8},          {L"utf8", CP_UTF8},           {L"us-ascii", 20127},
    {L"ascii", 20127},            {L"iso-8859-1", 28591},       {L"latin1", 28591},
    {L"iso-8859-15", 28605},      {L"windows-1252", 1252},      {L"cp1252", 1252},
    {L"utf-16", kUtf16Le},        {L"utf-16le", kUtf16Le},      {L"utf-16be", kUtf16Be},
};

std::wstring wide_from(UINT code_page, std::string_view bytes)
{
    if (bytes.empty())
        return {};
    if (bytes.size() > INT_MAX)
        fail(result::ParseError, L"the response is too large to decode");
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(code_page, 0, bytes.data(), size, nullptr, 0);
    if (n <= 0)
        fail(result::ParseError, L"the response cannot be decoded in its character set");
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(code_page, 0, bytes.data(), size, wide.data(), n);
    return wide;
}

std::wstring wide_from_utf16(std::string_view bytes, bool big_endian)
{
    std::wstring wide(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        const auto a = static_cast<unsigned char>(bytes[2 * i]), b = static_cast<unsigned char>(bytes[2 * i + 1]);
        wide[i] = static_cast<wchar_t>(big_endian ? (a << 8 | b) : (b << 8 | a));
    }
    if (!wide.empty() && wide.front() == 0xFEFF)
        wide.erase(0, 1);
    return wide;
}

UINT code_page_of(std::wstring_view charset, std::string_view bytes)
{
    if (charset.empty()) {
        if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
            return kUtf16Le;
        if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE && static_cast<unsigned char>(bytes[1]) == 0xFF)
            return kUtf16Be;
        return CP_UTF8;
    }
    const std::wstring name = lower_ascii(charset);
    for (const NamedCodePage& entry : kCodePages)
        if (name == entry.name)
            return entry.code_page;
    fail(result::ParseError, L"unsupported character set '" + std::wstring(charset) + L"'");
}

} // namespace

std::string to_utf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

std::wstring to_wide(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
    return wide;
}

wchar_t* new_bstr(std::string_view utf8)
{
    if (utf8.size() > INT_MAX)
        throw std::bad_alloc();
    const int size = static_cast<int>(utf8.size());
    // Most values of a table are ASCII: widened directly, without measuring first.
    const bool ascii = std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const int n = ascii ? size : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (!text)
        throw std::bad_alloc();
    if (ascii)
        std::copy(utf8.begin(), utf8.end(), text);
    else
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text, n);
    return text;
}

std::vector<char> decode_to_utf8(std::string_view bytes, std::wstring_view charset)
{
    const UINT code_page = code_page_of(charset, bytes);
    std::string converted;
    if (code_page == CP_UTF8) {
        if (bytes.starts_with("\xEF\xBB\xBF"))
            bytes.remove_prefix(3);
    } else {
        converted = to_utf8(code_page == kUtf16Le || code_page == kUtf16Be ? wide_from_utf16(bytes, code_page == kUtf16Be)
                                                                            : wide_from(code_page, bytes));
        bytes = converted;
    }
    // Reserved first: a large response is copied once, into memory of exactly its size.
    std::vector<char> text;
    text.reserve(bytes.size() + 1);
    text.assign(bytes.begin(), bytes.end());
    return text;
}

std::wstring lower_ascii(std::wstring_view text)
{
    std::wstring result(text);
    for (wchar_t& c : result)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return result;
}

std::string lower_ascii(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

} // namespace soapkit
