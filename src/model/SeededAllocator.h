#pragma once
// An allocator whose first array may come from storage placed beside the object that owns the
// container: the item pointers of a row built from a template live in the row's block instead
// of one more heap allocation per row. Any further array, and every array of a container
// given no seed, comes from the heap.
#include <cstddef>
#include <memory>
#include <new>

namespace tolvane {

// Room for `capacity` objects of T, followed by them.
struct AllocatorSeed {
    size_t capacity;
    bool taken;

    template <class T>
    static size_t BytesFor(size_t capacity) noexcept
    {
        static_assert(alignof(T) <= alignof(AllocatorSeed));
        return sizeof(AllocatorSeed) + capacity * sizeof(T);
    }
    static AllocatorSeed* Place(void* memory, size_t capacity) noexcept
    {
        return new (memory) AllocatorSeed{capacity, false};
    }
};

template <class T>
class SeededAllocator {
public:
    using value_type = T;

    SeededAllocator() noexcept = default;
    explicit SeededAllocator(AllocatorSeed* seed) noexcept : seed_(seed) {}
    // Another element type cannot use the seed's room.
    template <class U>
    SeededAllocator(const SeededAllocator<U>&) noexcept
    {
    }

    T* allocate(size_t count)
    {
        if (seed_ && !seed_->taken && count <= seed_->capacity) {
            seed_->taken = true;
            return Room();
        }
        return std::allocator<T>().allocate(count);
    }
    void deallocate(T* array, size_t count) noexcept
    {
        if (seed_ && array == Room()) {
            seed_->taken = false;
            return;
        }
        std::allocator<T>().deallocate(array, count);
    }

    friend bool operator==(const SeededAllocator& a, const SeededAllocator& b) noexcept { return a.seed_ == b.seed_; }

private:
    T* Room() const noexcept { return reinterpret_cast<T*>(seed_ + 1); }

    AllocatorSeed* seed_ = nullptr;
};

} // namespace tolvane
