#pragma once
// Offsets and lengths of a flat structure's components where its descriptor leaves them at -1,
// in the Unicode layout (2 bytes a character) and the non-Unicode layout (1 byte a character).
// Given values are used as they are. A missing length is the type's default; a missing offset
// follows the previous component, aligned to 4 for FLOAT and INT, to 2 for INT2 and to a
// pointer's size for STRING and XSTRING (which hold pointers).
#include "idl/Tolvane_h.h"

#include <vector>

namespace tolvane {

struct ComponentLayout {
    long offset = 0;
    long length = 0;
};

struct StructLayout {
    std::vector<ComponentLayout> unicode;
    std::vector<ComponentLayout> nonUnicode;
    // The structure's own StructLength when given, else the end of the last component rounded
    // up to a multiple of 4.
    long unicodeLength = 0;
    // The structure's own structLengthC1 when given, else the end of the last component.
    long nonUnicodeLength = 0;
};

// The default length of a scalar of `type` with ScalarLength `n`, in bytes.
long DefaultLength(long type, long n, bool unicode) noexcept;

// The layout of a structure descriptor's components, in StructFields order.
StructLayout LayoutOf(IRfcType* structure);

} // namespace tolvane
