#include "FieldBlock.h"

#include <array>
#include <cstdlib>
#include <mutex>

namespace tolvane {
namespace {

// Freed blocks kept for the next table. The heap hands the pages of a large freed table back to
// the system, and building the next one faults every page in again, which on Wine costs more
// than building the fields; reading tables one after another reuses warm memory instead. The
// cache is bounded and holds blocks of a few sizes only (each table has one row size).
class BlockCache {
public:
    void* Take(size_t bytes) noexcept
    {
        std::lock_guard lock(mutex_);
        for (Bin& bin : bins_) {
            if (bin.bytes == bytes && bin.head) {
                FreeBlock* block = bin.head;
                bin.head = block->next;
                kept_ -= bytes;
                return block;
            }
        }
        return nullptr;
    }

    // False when the block does not fit and must go back to the heap.
    bool Keep(void* memory, size_t bytes) noexcept
    {
        std::lock_guard lock(mutex_);
        if (kept_ + bytes > kLimit)
            return false;
        Bin* target = nullptr;
        for (Bin& bin : bins_) {
            if (bin.bytes == bytes) {
                target = &bin;
                break;
            }
            if (!target && !bin.head)
                target = &bin;
        }
        if (!target)
            return false;
        target->bytes = bytes;
        target->head = new (memory) FreeBlock{target->head};
        kept_ += bytes;
        return true;
    }

    void Clear() noexcept
    {
        std::lock_guard lock(mutex_);
        for (Bin& bin : bins_) {
            while (FreeBlock* block = bin.head) {
                bin.head = block->next;
                ::operator delete(block);
            }
        }
        kept_ = 0;
    }

private:
    static constexpr size_t kLimit = size_t(16) << 20;

    struct FreeBlock {
        FreeBlock* next;
    };
    struct Bin {
        size_t bytes = 0;
        FreeBlock* head = nullptr;
    };

    std::mutex mutex_;
    std::array<Bin, 8> bins_{};
    size_t kept_ = 0;
};

BlockCache& Cache()
{
    // Never destroyed: fields may be released after static destruction.
    static BlockCache* cache = new BlockCache;
    return *cache;
}

} // namespace

static_assert(sizeof(FieldBlock) <= 16);

FieldBlock* FieldBlock::Create(size_t count, size_t objectSize, size_t extraBytes)
{
    const size_t slotSize = SlotSize(objectSize);
    extraBytes = (extraBytes + 7) / 8 * 8;
    if (count > UINT32_MAX || slotSize > UINT32_MAX || extraBytes > UINT32_MAX)
        throw std::bad_alloc();
    const size_t bytes = BytesFor(count, slotSize, extraBytes);
    void* memory = Cache().Take(bytes);
    if (!memory)
        memory = ::operator new(bytes);
    return new (memory) FieldBlock(count, slotSize, extraBytes);
}

void* FieldBlock::Slot(size_t index) noexcept
{
    char* slot = reinterpret_cast<char*>(this) + kHeader + index * slotSize_;
    *reinterpret_cast<FieldBlock**>(slot) = this;
    return slot + kPrefix;
}

void* FieldBlock::Extra() noexcept { return reinterpret_cast<char*>(this) + kHeader + size_t(count_) * slotSize_; }

void FieldBlock::Release() noexcept
{
    if (live_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        const size_t bytes = Bytes();
        this->~FieldBlock();
        if (!Cache().Keep(this, bytes))
            ::operator delete(this);
    }
}

void FieldBlock::ReleaseCache() noexcept { Cache().Clear(); }

void* FieldBlock::AllocateAlone(size_t objectSize)
{
    char* memory = static_cast<char*>(::operator new(kPrefix + objectSize));
    *reinterpret_cast<FieldBlock**>(memory) = nullptr;
    return memory + kPrefix;
}

void FieldBlock::Free(void* object) noexcept
{
    char* slot = static_cast<char*>(object) - kPrefix;
    if (FieldBlock* block = *reinterpret_cast<FieldBlock**>(slot))
        block->Release();
    else
        ::operator delete(slot);
}

} // namespace tolvane
