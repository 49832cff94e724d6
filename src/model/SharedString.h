#pragma once
// An immutable wide string shared by reference count. A table of 100,000 rows names its
// million fields with the few component names of its row type; sharing them keeps one copy
// per name instead of one per field.
#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

namespace tolvane {

class SharedString {
public:
    SharedString() noexcept = default;
    explicit SharedString(std::wstring_view text)
    {
        if (text.empty())
            return;
        void* memory = ::operator new(sizeof(Rep) + text.size() * sizeof(wchar_t));
        rep_ = new (memory) Rep{{1}, static_cast<uint32_t>(text.size()), {}};
        std::memcpy(rep_->text, text.data(), text.size() * sizeof(wchar_t));
        rep_->text[text.size()] = L'\0';
    }
    SharedString(const SharedString& other) noexcept : rep_(other.rep_)
    {
        if (rep_)
            rep_->references.fetch_add(1, std::memory_order_relaxed);
    }
    SharedString(SharedString&& other) noexcept : rep_(std::exchange(other.rep_, nullptr)) {}
    SharedString& operator=(SharedString other) noexcept
    {
        std::swap(rep_, other.rep_);
        return *this;
    }
    ~SharedString()
    {
        if (rep_ && rep_->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            rep_->~Rep();
            ::operator delete(rep_);
        }
    }

    std::wstring_view view() const noexcept { return rep_ ? std::wstring_view(rep_->text, rep_->length) : L""; }
    const wchar_t* c_str() const noexcept { return rep_ ? rep_->text : L""; }
    bool empty() const noexcept { return !rep_; }

    // A new BSTR with the text; throws std::bad_alloc.
    BSTR bstr() const
    {
        BSTR s = SysAllocStringLen(c_str(), static_cast<UINT>(view().size()));
        if (!s)
            throw std::bad_alloc();
        return s;
    }

private:
    struct Rep {
        std::atomic<uint32_t> references;
        uint32_t length;
        wchar_t text[1];
    };
    Rep* rep_ = nullptr;
};

} // namespace tolvane
