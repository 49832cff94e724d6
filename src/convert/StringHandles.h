#pragma once
// The classic library keeps STRING and XSTRING values of a record as handles that it allocates
// and frees itself: a STRING field holds a pointer to zero-terminated UTF-8, an XSTRING field a
// length and a pointer to the bytes. The record conversion writes such fields through this
// interface; the classic session binds it to the library's own allocation functions, so that
// the library can free what we hand it.
#include <cstdint>

namespace tolvane {

// The image of an XSTRING field.
struct RfcXStringImage {
    int32_t length;
    uint8_t* content;
};

// The image of a STRING field: the handle.
using RfcStringHandle = uint8_t*;

class RfcStringHandles {
public:
    virtual ~RfcStringHandles() = default;

    // A new string of `size` bytes plus a terminator, all zero; null when it cannot be had.
    virtual RfcStringHandle AllocString(uint32_t size) noexcept = 0;

    // Gives `xstring` room for exactly `length` bytes, keeping the bytes it had up to that
    // length; a length of 0 frees the content. A new image starts as {0, nullptr}.
    virtual bool ResizeXString(RfcXStringImage& xstring, int32_t length) noexcept = 0;
};

} // namespace tolvane
