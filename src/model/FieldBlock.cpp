#include "FieldBlock.h"

#include <cstdlib>

namespace tolvane {

static_assert(sizeof(FieldBlock) <= 16);

FieldBlock* FieldBlock::Create(size_t count, size_t objectSize)
{
    void* memory = ::operator new(kHeader + count * SlotSize(objectSize));
    return new (memory) FieldBlock(count, SlotSize(objectSize));
}

void* FieldBlock::Slot(size_t index) noexcept
{
    char* slot = reinterpret_cast<char*>(this) + kHeader + index * slotSize_;
    *reinterpret_cast<FieldBlock**>(slot) = this;
    return slot + kPrefix;
}

void FieldBlock::Release() noexcept
{
    if (live_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        this->~FieldBlock();
        ::operator delete(this);
    }
}

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
