#pragma once
// com::safearray owns a SAFEARRAY; com::array_data gives scoped access to its elements.
#include "HResultError.h"
#include "SafeMath.h"

#include <oleauto.h>

#include <cstddef>
#include <new>
#include <span>
#include <utility>

namespace com {

class safearray {
public:
    safearray() noexcept = default;
    explicit safearray(SAFEARRAY* adopted) noexcept : a_(adopted) {}
    safearray(safearray&& other) noexcept : a_(std::exchange(other.a_, nullptr)) {}
    safearray& operator=(safearray&& other) noexcept
    {
        std::swap(a_, other.a_);
        return *this;
    }
    safearray(const safearray&) = delete;
    safearray& operator=(const safearray&) = delete;
    ~safearray()
    {
        if (a_)
            SafeArrayDestroy(a_);
    }

    // A one-dimensional array of `count` elements of `type`, lower bound 0, zero-filled; a
    // count beyond what an array can hold is refused (E_INVALIDARG).
    static safearray vector(VARTYPE type, size_t count)
    {
        SAFEARRAY* a = SafeArrayCreateVector(type, 0, checked_cast<ULONG>(count));
        if (!a)
            throw std::bad_alloc();
        return safearray(a);
    }
    static safearray bytes(size_t count) { return vector(VT_UI1, count); }

    SAFEARRAY* get() const noexcept { return a_; }
    [[nodiscard]] SAFEARRAY* detach() noexcept { return std::exchange(a_, nullptr); }

private:
    SAFEARRAY* a_ = nullptr;
};

// Number of elements of a one-dimensional array.
inline size_t element_count(SAFEARRAY* a) noexcept
{
    LONG lower = 0, upper = -1;
    if (!a || SafeArrayGetDim(a) != 1 || FAILED(SafeArrayGetLBound(a, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(a, 1, &upper)))
        return 0;
    return upper >= lower ? static_cast<size_t>(upper - lower + 1) : 0;
}

// Locked access to the data of a one-dimensional array for the lifetime of this object.
template <class T>
class array_data {
public:
    explicit array_data(SAFEARRAY* a) : a_(a)
    {
        void* data = nullptr;
        check(SafeArrayAccessData(a_, &data));
        data_ = static_cast<T*>(data);
        size_ = element_count(a_);
    }
    array_data(const array_data&) = delete;
    array_data& operator=(const array_data&) = delete;
    ~array_data() { SafeArrayUnaccessData(a_); }

    T* data() const noexcept { return data_; }
    size_t size() const noexcept { return size_; }
    std::span<T> span() const noexcept { return {data_, size_}; }

private:
    SAFEARRAY* a_;
    T* data_ = nullptr;
    size_t size_ = 0;
};

} // namespace com
