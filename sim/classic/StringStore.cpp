#include "StringStore.h"

#include <cstdlib>
#include <mutex>
#include <unordered_set>

namespace classicrfc {
namespace {

struct Blocks {
    std::mutex mutex;
    std::unordered_set<const void*> live;
};

Blocks& blocks()
{
    static Blocks* b = new Blocks;
    return *b;
}

} // namespace

unsigned char* StringStore::allocate(size_t size)
{
    if (size == static_cast<size_t>(-1))
        return nullptr;
    auto* block = static_cast<unsigned char*>(std::calloc(size + 1, 1));
    if (block == nullptr)
        return nullptr;
    Blocks& b = blocks();
    std::lock_guard lock(b.mutex);
    b.live.insert(block);
    return block;
}

bool StringStore::release(void* block)
{
    if (block == nullptr)
        return false;
    {
        Blocks& b = blocks();
        std::lock_guard lock(b.mutex);
        if (b.live.erase(block) == 0)
            return false;
    }
    std::free(block);
    return true;
}

bool StringStore::owns(const void* block)
{
    Blocks& b = blocks();
    std::lock_guard lock(b.mutex);
    return b.live.count(block) != 0;
}

} // namespace classicrfc
