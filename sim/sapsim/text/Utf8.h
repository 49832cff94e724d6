#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sapsim {

// Character fields are measured in characters (code points), while all text is held as UTF-8.
class Utf8 {
public:
    static bool valid(std::string_view text);
    static size_t length(std::string_view text);
    // The first `count` characters of the text (all of it when shorter).
    static std::string_view prefix(std::string_view text, size_t count);
    static void append(std::string& out, char32_t codePoint);
    static std::string fromLatin1(std::string_view bytes);
    // UTF-16 with the given byte order; unpaired surrogates give no result.
    static std::optional<std::string> fromUtf16(std::string_view bytes, bool bigEndian);
};

} // namespace sapsim
