#pragma once

#include <cstddef>

namespace classicrfc {

// Memory of RFC_STRING texts and RFC_XSTRING contents that the library allocates (for the
// caller or for received values) and frees again. Only blocks allocated here are freed; any
// other pointer handed back is left alone rather than freed into a crash.
class StringStore {
public:
    // `size` bytes, zeroed, plus a terminating zero byte.
    static unsigned char* allocate(size_t size);
    static bool release(void* block);
    static bool owns(const void* block);
};

} // namespace classicrfc
