#pragma once
// The bytes of a variant as a one-dimensional byte array, locked for reading while this object
// lives. Each step that can fail throws CXTolvane of kind XSTRING_ARRAYDIMS_EXCEPTION with the
// context the caller names for it.
#include "com/SafeArray.h"
#include "com/Variant.h"

#include <cstdint>
#include <optional>
#include <span>

namespace tolvane {

struct ByteArrayContexts {
    const wchar_t* notConvertible;
    const wchar_t* notOneDimension;
    const wchar_t* dataUnreachable;
};

class VariantByteArray {
public:
    VariantByteArray(const VARIANT& value, const ByteArrayContexts& contexts);
    VariantByteArray(const VariantByteArray&) = delete;
    VariantByteArray& operator=(const VariantByteArray&) = delete;

    std::span<const uint8_t> bytes() const noexcept;

private:
    com::variant array_;
    std::optional<com::array_data<uint8_t>> data_;
};

// Copies `source` to the `count` bytes at `target`, cut to `count` or filled up with zero bytes.
void CopyZeroFilled(uint8_t* target, size_t count, std::span<const uint8_t> source) noexcept;

} // namespace tolvane
