#pragma once
// Helpers of the conversion tests: variants built from plain values, fields placed at the very
// end of readable memory so that any access past them faults, an in-memory stand-in for the
// classic library's string handles, and capture of the component's exceptions.
#include <windows.h>

#include "com/Bstr.h"
#include "com/SafeArray.h"
#include "com/Variant.h"
#include "convert/StringHandles.h"
#include "session/XTolvane.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace convert_test {

// ---- variants -------------------------------------------------------------------------------

inline com::variant Text(std::wstring_view text) { return com::variant(text); }
inline com::variant I4(long value) { return com::variant(value); }
inline com::variant I2(short value) { return com::variant(value); }
inline com::variant R8(double value) { return com::variant(value); }
inline com::variant Null() { return com::variant::null(); }
inline com::variant Empty() { return com::variant(); }

inline com::variant R4(float value)
{
    com::variant v;
    V_VT(v.addr()) = VT_R4;
    V_R4(v.addr()) = value;
    return v;
}

inline com::variant OfType(VARTYPE type, double value)
{
    return R8(value).as(type);
}

// The automation date of a day and time, by the system's own conversion.
inline DATE DateValue(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    DATE result = 0;
    EXPECT_TRUE(SystemTimeToVariantTime(&st, &result));
    return result;
}

inline com::variant Date(DATE value)
{
    com::variant v;
    V_VT(v.addr()) = VT_DATE;
    V_DATE(v.addr()) = value;
    return v;
}

inline com::variant Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return Date(DateValue(year, month, day, hour, minute, second));
}

// A byte array with the given lower bound.
inline com::variant Bytes(const std::vector<uint8_t>& bytes, LONG lowerBound = 0)
{
    SAFEARRAYBOUND bound{static_cast<ULONG>(bytes.size()), lowerBound};
    com::safearray array(SafeArrayCreate(VT_UI1, 1, &bound));
    if (!bytes.empty()) {
        com::array_data<uint8_t> data(array.get());
        std::memcpy(data.data(), bytes.data(), bytes.size());
    }
    com::variant v;
    V_VT(v.addr()) = VT_ARRAY | VT_UI1;
    V_ARRAY(v.addr()) = array.detach();
    return v;
}

inline com::variant TwoDimensionalBytes()
{
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    com::variant v;
    V_VT(v.addr()) = VT_ARRAY | VT_UI1;
    V_ARRAY(v.addr()) = SafeArrayCreate(VT_UI1, 2, bounds);
    return v;
}

// The elements of a one-dimensional byte array variant; nothing for any other variant.
inline std::optional<std::vector<uint8_t>> BytesOf(const com::variant& v)
{
    if (v.vt() != (VT_ARRAY | VT_UI1) || SafeArrayGetDim(V_ARRAY(v.addr())) != 1)
        return std::nullopt;
    LONG lower = -1;
    SafeArrayGetLBound(V_ARRAY(v.addr()), 1, &lower);
    if (lower != 0)
        return std::nullopt;
    com::array_data<uint8_t> data(V_ARRAY(v.addr()));
    return std::vector<uint8_t>(data.data(), data.data() + data.size());
}

inline std::wstring StringOf(const com::variant& v)
{
    EXPECT_EQ(v.vt(), VT_BSTR);
    return v.vt() == VT_BSTR ? std::wstring(com::view(V_BSTR(v.addr()))) : std::wstring();
}

// ---- fields ---------------------------------------------------------------------------------

// A field of `size` bytes that ends exactly where readable memory ends: reading or writing one
// byte past it faults, so a test that strays beyond the field crashes instead of passing.
class EdgeField {
public:
    explicit EdgeField(size_t size) : size_(size)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        page_ = info.dwPageSize;
        const size_t pages = (size + page_ - 1) / page_ + 1;
        base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, (pages + 1) * page_, MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base_ + pages * page_, page_, PAGE_NOACCESS, &old);
        field_ = base_ + pages * page_ - size;
    }
    EdgeField(const EdgeField&) = delete;
    EdgeField& operator=(const EdgeField&) = delete;
    ~EdgeField() { VirtualFree(base_, 0, MEM_RELEASE); }

    uint8_t* data() const noexcept { return field_; }
    size_t size() const noexcept { return size_; }

    void Fill(uint8_t byte) { std::memset(field_, byte, size_); }
    void FillChars(wchar_t c)
    {
        for (size_t i = 0; i < size_ / 2; ++i)
            std::memcpy(field_ + 2 * i, &c, sizeof c);
    }
    void SetText(std::wstring_view text) { std::memcpy(field_, text.data(), std::min(size_, text.size() * 2)); }
    void SetBytes(const std::vector<uint8_t>& bytes) { std::memcpy(field_, bytes.data(), std::min(size_, bytes.size())); }

    std::wstring Text() const
    {
        std::wstring text(size_ / 2, L'\0');
        std::memcpy(text.data(), field_, text.size() * 2);
        return text;
    }
    std::vector<uint8_t> Bytes() const { return {field_, field_ + size_}; }
    template <class T>
    T Value() const
    {
        T value;
        std::memcpy(&value, field_, sizeof value);
        return value;
    }

private:
    size_t size_;
    size_t page_ = 4096;
    uint8_t* base_ = nullptr;
    uint8_t* field_ = nullptr;
};

// ---- string handles -------------------------------------------------------------------------

// Handles kept in memory, as the classic library would keep them. It knows every buffer it
// handed out, so a conversion that resizes something it did not get from here is caught.
class MemoryStringHandles final : public tolvane::RfcStringHandles {
public:
    tolvane::RfcStringHandle AllocString(uint32_t size) noexcept override
    {
        ++calls;
        if (failNext) {
            failNext = false;
            return nullptr;
        }
        lastStringSize = size;
        auto buffer = std::make_unique<uint8_t[]>(size + 1);
        std::memset(buffer.get(), 0, size + 1);
        uint8_t* handle = buffer.get();
        owned_[handle] = std::move(buffer);
        return handle;
    }

    bool ResizeXString(tolvane::RfcXStringImage& xstring, int32_t length) noexcept override
    {
        ++calls;
        if (failNext) {
            failNext = false;
            return false;
        }
        if (length < 0 || (xstring.content && !owned_.count(xstring.content)))
            return false;
        std::unique_ptr<uint8_t[]> fresh;
        if (length > 0) {
            fresh = std::make_unique<uint8_t[]>(static_cast<size_t>(length));
            std::memset(fresh.get(), 0xEE, static_cast<size_t>(length));
            if (xstring.content)
                std::memcpy(fresh.get(), xstring.content, std::min(xstring.length, length));
        }
        if (xstring.content)
            owned_.erase(xstring.content);
        xstring.content = fresh.get();
        xstring.length = length;
        if (fresh)
            owned_[fresh.get()] = std::move(fresh);
        return true;
    }

    bool Owns(const void* p) const { return owned_.count(static_cast<uint8_t*>(const_cast<void*>(p))) != 0; }
    size_t Live() const { return owned_.size(); }

    bool failNext = false;
    int calls = 0;
    uint32_t lastStringSize = 0;

private:
    std::map<uint8_t*, std::unique_ptr<uint8_t[]>> owned_;
};

// ---- exceptions -----------------------------------------------------------------------------

template <class F>
std::optional<tolvane::CXTolvane> Thrown(F&& f)
{
    try {
        f();
    } catch (const tolvane::CXTolvane& e) {
        return e;
    }
    return std::nullopt;
}

} // namespace convert_test
