#pragma once
// com::bstr: owns one BSTR. A default bstr is null, which automation treats as "".
#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace com {

class bstr {
public:
    bstr() noexcept = default;
    bstr(std::wstring_view text) : s_(allocate(text)) {}
    bstr(const wchar_t* text) : s_(text ? allocate(text) : nullptr) {}
    bstr(const bstr& other) : s_(other.s_ ? allocate(other.view()) : nullptr) {}
    bstr(bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
    ~bstr() { SysFreeString(s_); }

    bstr& operator=(bstr other) noexcept
    {
        std::swap(s_, other.s_);
        return *this;
    }

    // Adopts a BSTR the caller owns.
    static bstr attach(BSTR s) noexcept
    {
        bstr result;
        result.s_ = s;
        return result;
    }
    [[nodiscard]] BSTR detach() noexcept { return std::exchange(s_, nullptr); }

    BSTR get() const noexcept { return s_; }
    BSTR* put() noexcept
    {
        reset();
        return &s_;
    }
    void reset() noexcept { SysFreeString(std::exchange(s_, nullptr)); }
    // For an [in, out] argument: the callee may free the string and put another in its place.
    BSTR* in_out() noexcept { return &s_; }

    bool is_null() const noexcept { return s_ == nullptr; }
    bool empty() const noexcept { return length() == 0; }
    size_t length() const noexcept { return s_ ? SysStringLen(s_) : 0; }
    std::wstring_view view() const noexcept { return {s_ ? s_ : L"", length()}; }
    std::wstring str() const { return std::wstring(view()); }

    // Hands out a copy through an out parameter (null stays null).
    HRESULT copy_to(BSTR* out) const noexcept
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!s_)
            return S_OK;
        *out = SysAllocStringLen(s_, SysStringLen(s_));
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    friend bool operator==(const bstr& a, const bstr& b) noexcept { return a.view() == b.view(); }
    friend bool operator==(const bstr& a, std::wstring_view b) noexcept { return a.view() == b; }

private:
    static BSTR allocate(std::wstring_view text)
    {
        BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (!s)
            throw std::bad_alloc();
        return s;
    }

    BSTR s_ = nullptr;
};

// A view of a BSTR argument: null reads as "".
inline std::wstring_view view(BSTR s) noexcept { return {s ? s : L"", s ? SysStringLen(s) : 0u}; }

} // namespace com
