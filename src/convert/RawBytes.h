#pragma once
// Byte fields and byte strings between their bytes and variants holding one-dimensional arrays
// of unsigned bytes with lower bound 0.
#include "com/Variant.h"

#include <cstddef>
#include <cstdint>

namespace tolvane {

// `out` becomes a byte array of `count` elements holding a copy of `bytes` (zeros when
// `bytes` is null). Throws CXTolvane: VARIANTARRAY_EXCEPTION when the array cannot be made
// (context "RfcRawToVariantSafeArray(),1") or its data allocated (",2"),
// XSTRING_ARRAYDIMS_EXCEPTION when its data cannot be reached (",3").
void RfcRawToVariantSafeArray(com::variant& out, const uint8_t* bytes, size_t count);

// Writes the bytes of `value` to `buffer` and returns how many it wrote. A null or empty value
// writes `count` zero bytes and returns 0. A count of 0 means the array's element count (the
// buffer must hold that many); an array shorter than `count` is followed by zero bytes. Throws
// CXTolvane of kind XSTRING_ARRAYDIMS_EXCEPTION when the value does not convert to a byte
// array (context "RfcVariantSafeArrayToRaw(),1"), has more than one dimension (",2") or its
// data cannot be reached (",3").
size_t RfcVariantSafeArrayToRaw(uint8_t* buffer, const VARIANT& value, size_t count);

// The same for a field of exactly `count` bytes: a count of 0 writes nothing.
void CopyVariantBytes(uint8_t* field, const VARIANT& value, size_t count);

} // namespace tolvane
