#pragma once
// Packed decimals (ABAP type P) between text and their field image. The classic library offers
// the same two conversions; these are ours, so that packed fields convert without it.
// The text rules are written at the top of Bcd.cpp.
#include <cstdint>

namespace tolvane {

// Results of the two conversions.
enum BcdResult : int {
    BCD_OK = 0,
    BCD_TOO_LARGE = 2,      // the number does not fit the field (or the text buffer)
    BCD_NOT_A_NUMBER = 3,   // the text is no number / the image holds a nibble that is no digit
    BCD_INVALID_LENGTH = 4, // a length or the decimals are out of range
};

// Largest packed field: 16 bytes, 31 digits and the sign.
constexpr int kBcdMaxBytes = 16;

// Writes the number in `text` (`textLength` characters) into the packed field `bcd` of
// `bcdLength` bytes with `decimals` decimals. On failure the field is left unchanged.
int RfcConvertCharToBcdU(const wchar_t* text, int textLength, int decimals, uint8_t* bcd, int bcdLength) noexcept;

// Writes the packed number of `bcdLength` bytes with `decimals` decimals as text into
// `text`, left-aligned, and fills the rest of its `textLength` characters with blanks.
int RfcConvertBcdToCharU(const uint8_t* bcd, int bcdLength, int decimals, wchar_t* text, int textLength) noexcept;

} // namespace tolvane
