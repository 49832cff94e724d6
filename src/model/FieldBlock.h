#pragma once
// Storage for one structure value or table row, its field collection and its fields, taken
// from the heap in one piece instead of one allocation per object: a table of 100,000 rows
// makes a million fields, and the heap's cost per allocation dominated building it. Each
// object is still a COM object of its own that may outlive its row; the block is freed when
// the last of its objects is.
//
// Every object carries a prefix that names its block (or none for an object allocated alone),
// so that deleting it finds where its memory came from.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

namespace tolvane {

class FieldBlock {
public:
    // Room for `count` objects of `objectSize` bytes, the caller constructs all of them, and
    // `extraBytes` more for their own use.
    static FieldBlock* Create(size_t count, size_t objectSize, size_t extraBytes = 0);
    // The memory for object `index` (its prefix is set).
    void* Slot(size_t index) noexcept;
    // The extra bytes, after the objects.
    void* Extra() noexcept;
    // Called once per object of the block when it is destroyed.
    void Release() noexcept;

    // Allocation for one object outside any block.
    static void* AllocateAlone(size_t objectSize);
    // Frees an object's memory, whichever way it was allocated.
    static void Free(void* object) noexcept;
    // Gives the blocks kept for reuse back to the heap (when the module may unload).
    static void ReleaseCache() noexcept;

private:
    FieldBlock(size_t count, size_t slotSize, size_t extraBytes) noexcept
        : live_(static_cast<uint32_t>(count)), count_(static_cast<uint32_t>(count)),
          slotSize_(static_cast<uint32_t>(slotSize)), extraBytes_(static_cast<uint32_t>(extraBytes))
    {
    }
    static size_t BytesFor(size_t count, size_t slotSize, size_t extraBytes) noexcept
    {
        return kHeader + count * slotSize + extraBytes;
    }
    size_t Bytes() const noexcept { return BytesFor(count_, slotSize_, extraBytes_); }

    // Fields need no more than pointer alignment.
    static constexpr size_t kPrefix = sizeof(void*);
    static constexpr size_t kHeader = 16;
    static size_t SlotSize(size_t objectSize) noexcept { return kPrefix + (objectSize + 7) / 8 * 8; }

    std::atomic<uint32_t> live_;
    uint32_t count_;
    uint32_t slotSize_;
    uint32_t extraBytes_;
};

// The allocation of a class whose objects live alone or in a slot of a block.
struct InFieldBlock {
    static void* operator new(size_t size) { return FieldBlock::AllocateAlone(size); }
    static void* operator new(size_t, FieldBlock& block, size_t slot) noexcept { return block.Slot(slot); }
    static void operator delete(void* object) noexcept { FieldBlock::Free(object); }
    static void operator delete(void* object, FieldBlock&, size_t) noexcept { FieldBlock::Free(object); }
};

} // namespace tolvane
