#pragma once
// com::ptr<T>: owns one reference to a COM interface or to one of our implementation classes.
// Its verbs say what a call site means: put() releases the old pointer before handing out the
// address for an out parameter, attach()/detach() move ownership explicitly, query() requires
// the interface (throws), try_query() makes it optional, copy_to() hands out a new reference.
#include "HResultError.h"

#include <unknwn.h>
#include <cstddef>
#include <utility>

namespace com {

template <class T>
class ptr {
public:
    ptr() noexcept = default;
    ptr(std::nullptr_t) noexcept {}
    // Shares ownership: takes a new reference.
    explicit ptr(T* p) noexcept : p_(p) { add_ref(); }
    ptr(const ptr& other) noexcept : p_(other.p_) { add_ref(); }
    ptr(ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    template <class U>
        requires std::is_convertible_v<U*, T*>
    ptr(const ptr<U>& other) noexcept : p_(other.get()) { add_ref(); }
    template <class U>
        requires std::is_convertible_v<U*, T*>
    ptr(ptr<U>&& other) noexcept : p_(other.detach()) {}
    ~ptr() { reset(); }

    ptr& operator=(const ptr& other) noexcept
    {
        ptr(other).swap(*this);
        return *this;
    }
    ptr& operator=(ptr&& other) noexcept
    {
        ptr(std::move(other)).swap(*this);
        return *this;
    }
    ptr& operator=(std::nullptr_t) noexcept
    {
        reset();
        return *this;
    }

    // Adopts a reference the caller already owns.
    static ptr attach(T* p) noexcept
    {
        ptr result;
        result.p_ = p;
        return result;
    }
    [[nodiscard]] T* detach() noexcept { return std::exchange(p_, nullptr); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    T** put() noexcept
    {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    void reset() noexcept
    {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }
    void swap(ptr& other) noexcept { std::swap(p_, other.p_); }

    template <class U>
    ptr<U> try_query() const noexcept
    {
        ptr<U> result;
        if (p_)
            p_->QueryInterface(__uuidof(U), result.put_void());
        return result;
    }
    template <class U>
    ptr<U> query() const
    {
        if (!p_)
            throw hresult_error(E_POINTER);
        ptr<U> result;
        check(p_->QueryInterface(__uuidof(U), result.put_void()));
        return result;
    }

    // Hands out one more reference through an out parameter; a null source gives null.
    template <class U>
        requires std::is_convertible_v<T*, U*>
    HRESULT copy_to(U** out) const noexcept
    {
        if (!out)
            return E_POINTER;
        *out = p_;
        add_ref();
        return S_OK;
    }

    friend bool operator==(const ptr& a, const ptr& b) noexcept { return a.p_ == b.p_; }
    friend bool operator==(const ptr& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

private:
    void add_ref() const noexcept
    {
        if (p_)
            p_->AddRef();
    }

    T* p_ = nullptr;
};

// A new reference to `p`, kept by the returned owner.
template <class T>
ptr<T> share(T* p) noexcept
{
    return ptr<T>(p);
}

} // namespace com
