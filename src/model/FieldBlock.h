#pragma once
// Storage for the fields of one structure value or table row, taken from the heap in one piece
// instead of one allocation per field: a table of 100,000 rows makes a million fields, and the
// heap's cost per allocation dominated building it. Each field is still a COM object of its
// own that may outlive its row; the block is freed when the last of its fields is.
//
// Every field carries a prefix that names its block (or none for a field allocated alone), so
// that deleting a field finds where its memory came from.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

namespace tolvane {

class FieldBlock {
public:
    // Room for `count` objects of `objectSize` bytes; the caller constructs all of them.
    static FieldBlock* Create(size_t count, size_t objectSize);
    // The memory for object `index` (its prefix is set).
    void* Slot(size_t index) noexcept;
    // Called once per object of the block when it is destroyed.
    void Release() noexcept;

    // Allocation for one object outside any block.
    static void* AllocateAlone(size_t objectSize);
    // Frees an object's memory, whichever way it was allocated.
    static void Free(void* object) noexcept;

private:
    FieldBlock(size_t count, size_t slotSize) noexcept : live_(static_cast<uint32_t>(count)), slotSize_(slotSize) {}

    // Fields need no more than pointer alignment.
    static constexpr size_t kPrefix = sizeof(void*);
    static constexpr size_t kHeader = 16;
    static size_t SlotSize(size_t objectSize) noexcept { return kPrefix + (objectSize + 7) / 8 * 8; }

    std::atomic<uint32_t> live_;
    size_t slotSize_;
};

} // namespace tolvane
