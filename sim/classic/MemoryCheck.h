#pragma once

#include <cstddef>
#include <optional>

namespace classicrfc {

// Whether memory the caller hands over can be read or written, asked of the virtual memory
// manager before it is touched, so that a malformed array or a stale pointer gives a failure
// code instead of an access violation. (Not a guarantee against another thread freeing the
// memory meanwhile; the library's caller owns that.)
class MemoryCheck {
public:
    static bool readable(const void* address, size_t size);
    static bool writable(void* address, size_t size);
    // The length of a null-terminated text of at most `maxChars` characters, if it is readable.
    static std::optional<size_t> stringLength(const wchar_t* text, size_t maxChars);
    static std::optional<size_t> stringLength(const char* text, size_t maxChars);
};

} // namespace classicrfc
