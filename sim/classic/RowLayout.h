#pragma once

#include "include/ClassicRfcAbi.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace classicrfc {

struct RowLayout;

// Where one field lies in a caller's buffer, in the Unicode layout of this platform: characters
// take two bytes, numbers are aligned to their size, a STRING field holds an RFC_STRING and an
// XSTRING field an RFC_XSTRING. `letter` is the dictionary letter (C N D T X P F I s b g y a e),
// 'u' for a nested structure (`nested`), 'h' for a table reference (which the classic library
// cannot carry: such a field is left alone).
struct FieldLayout {
    std::string name;
    char letter = 'C';
    uint32_t offset = 0, length = 0, decimals = 0;
    // False where the decimals of a packed number are not known (a server's scalar parameter):
    // its digits then travel with the decimals of the text.
    bool fixedDecimals = true;
    uint32_t nucOffset = 0, nucLength = 0; // the one-byte-per-character layout, for descriptions
    std::shared_ptr<const RowLayout> nested;
};

struct RowLayout {
    std::string name;
    uint32_t length = 0, nucLength = 0, alignment = 1;
    std::vector<FieldLayout> fields;

    // A table anywhere inside.
    bool deep() const;
    const FieldLayout* field(const std::string& name) const;
};

// The letters and the library's type codes.
std::optional<RFCTYPE> typeOfLetter(char letter);
std::optional<char> letterOfType(RFC_TYPEHANDLE type);

// Size and alignment of a scalar field of `length` (characters for C N D T, else bytes) here.
struct ScalarSize {
    uint32_t size, alignment;
};
ScalarSize scalarSize(char letter, uint32_t length);

} // namespace classicrfc
