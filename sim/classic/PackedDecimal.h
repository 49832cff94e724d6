#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace classicrfc {

// Packed decimal numbers (BCD): two digits a byte, the last nibble the sign (C or F positive,
// D or B negative), up to 31 digits in 16 bytes.
class PackedDecimal {
public:
    enum class Status { Ok = 0, TooLarge = 2, Invalid = 3 };

    // The canonical text "-123.45" with `decimals` digits after the point; Invalid for a nibble
    // that is not a digit or a sign.
    static Status toText(const uint8_t* bcd, size_t length, unsigned decimals, std::string& text);
    // Packs a decimal text (blanks around it, a sign in front or behind, "." or "," as the
    // point) into `length` bytes. `decimals` < 0 takes the decimals from the text and reports
    // them back; otherwise the value is rounded half away from zero to that many.
    static Status fromText(std::string_view text, int& decimals, uint8_t* bcd, size_t length);
};

} // namespace classicrfc
