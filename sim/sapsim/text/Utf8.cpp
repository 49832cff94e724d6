#include "text/Utf8.h"

#include <cstdint>

namespace sapsim {
namespace {

bool continuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Length of the well-formed sequence at `i`, or 0 when it is not well-formed (overlong forms,
// surrogates and values above U+10FFFF are refused).
size_t sequenceLength(std::string_view s, size_t i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80)
        return 1;
    size_t n = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k) {
        const auto d = static_cast<unsigned char>(s[i + k]);
        if (!continuation(d))
            return 0;
        cp = (cp << 6) | (d & 0x3F);
    }
    static constexpr char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

bool Utf8::valid(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        const size_t n = sequenceLength(text, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

size_t Utf8::length(std::string_view text)
{
    size_t count = 0;
    for (char c : text)
        if (!continuation(static_cast<unsigned char>(c)))
            ++count;
    return count;
}

std::string_view Utf8::prefix(std::string_view text, size_t count)
{
    size_t seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (continuation(static_cast<unsigned char>(text[i])))
            continue;
        if (seen == count)
            return text.substr(0, i);
        ++seen;
    }
    return text;
}

void Utf8::append(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Utf8::fromLatin1(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes)
        append(out, static_cast<unsigned char>(c));
    return out;
}

std::optional<std::string> Utf8::fromUtf16(std::string_view bytes, bool bigEndian)
{
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    auto unit = [&](size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? char32_t((a << 8) | b) : char32_t((b << 8) | a);
    };
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xDC00 && cp <= 0xDFFF)
            return std::nullopt;
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 4 > bytes.size())
                return std::nullopt;
            const char32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF)
                return std::nullopt;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        append(out, cp);
    }
    return out;
}

} // namespace sapsim
