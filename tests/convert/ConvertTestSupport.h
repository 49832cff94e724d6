#pragma once
// Helpers of the conversion tests: variants from plain values, fields that end where readable
// memory ends (so any access past them faults), an in-memory stand-in for the classic
// library's string handles, and capture of the component's exceptions.
#include <windows.h>

#include "com/Bstr.h"
#include "com/SafeArray.h"
#include "com/Variant.h"
#include "convert/FieldConversion.h"
#include "idl/Tolvane_h.h"
#include "session/XTolvane.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace convert_test {

using Bytes = std::vector<uint8_t>;

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

// The automation date of a day and time, by the system's own conversion.
inline DATE DateValue(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    const SYSTEMTIME st{WORD(year), WORD(month), 0, WORD(day), WORD(hour), WORD(minute), WORD(second), 0};
    DATE result = 0;
    EXPECT_TRUE(SystemTimeToVariantTime(const_cast<SYSTEMTIME*>(&st), &result));
    return result;
}
inline com::variant Date(DATE value)
{
    com::variant v;
    V_VT(v.addr()) = VT_DATE;
    V_DATE(v.addr()) = value;
    return v;
}
inline com::variant Date(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0)
{
    return Date(DateValue(y, m, d, hh, mm, ss));
}

inline com::variant Array(SAFEARRAY* array)
{
    com::variant v;
    V_VT(v.addr()) = VT_ARRAY | VT_UI1;
    V_ARRAY(v.addr()) = array;
    return v;
}
// A byte array with the given lower bound.
inline com::variant ByteArray(const Bytes& bytes, LONG lowerBound = 0)
{
    SAFEARRAYBOUND bound{static_cast<ULONG>(bytes.size()), lowerBound};
    com::safearray array(SafeArrayCreate(VT_UI1, 1, &bound));
    if (!bytes.empty())
        std::memcpy(com::array_data<uint8_t>(array.get()).data(), bytes.data(), bytes.size());
    return Array(array.detach());
}
inline com::variant TwoDimensionalBytes()
{
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    return Array(SafeArrayCreate(VT_UI1, 2, bounds));
}

// The elements of a one-dimensional byte array from 0; nothing for any other variant.
inline std::optional<Bytes> BytesOf(const com::variant& v)
{
    LONG lower = -1;
    if (v.vt() != (VT_ARRAY | VT_UI1) || SafeArrayGetDim(V_ARRAY(v.addr())) != 1 ||
        FAILED(SafeArrayGetLBound(V_ARRAY(v.addr()), 1, &lower)) || lower != 0)
        return std::nullopt;
    com::array_data<uint8_t> data(V_ARRAY(v.addr()));
    return Bytes(data.data(), data.data() + data.size());
}
inline std::wstring StringOf(const com::variant& v)
{
    EXPECT_EQ(v.vt(), VT_BSTR);
    return v.vt() == VT_BSTR ? std::wstring(com::view(V_BSTR(v.addr()))) : std::wstring();
}

template <class T>
Bytes BytesOfValue(const T& value)
{
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    return Bytes(p, p + sizeof value);
}
inline Bytes BytesOfText(std::wstring_view text)
{
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    return Bytes(p, p + text.size() * sizeof(wchar_t));
}

// The size of the field image of `type` with descriptor length `length` (bytes).
inline size_t FieldImageSize(int type, int length)
{
    const size_t n = static_cast<size_t>(std::max(length, 0));
    switch (type) {
    case TYPE_CHAR: case TYPE_NUM: return 2 * n;
    case TYPE_DATE: return 16;
    case TYPE_TIME: return 12;
    case TYPE_BCD: return n / 2 + 1;
    case TYPE_BYTE: return n;
    case TYPE_FLOAT: return 8;
    case TYPE_INT: return 4;
    case TYPE_INT2: return 2;
    case TYPE_INT1: return 1;
    case TYPE_STRING: return sizeof(tolvane::RfcStringHandle);
    case TYPE_XSTRING: return sizeof(tolvane::RfcXStringImage);
    default: return 8;
    }
}

// A field of `size` bytes that ends exactly where readable memory ends: touching one byte past
// it faults, so a conversion that strays beyond a field crashes the test instead of passing.
class EdgeField {
public:
    explicit EdgeField(size_t size, const Bytes& content = {}) : size_(size)
    {
        const size_t page = 4096, pages = (size + page - 1) / page + 1;
        base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, (pages + 1) * page, MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base_ + pages * page, page, PAGE_NOACCESS, &old);
        field_ = base_ + pages * page - size;
        std::memcpy(field_, content.data(), std::min(size, content.size()));
    }
    EdgeField(const EdgeField&) = delete;
    EdgeField& operator=(const EdgeField&) = delete;
    ~EdgeField() { VirtualFree(base_, 0, MEM_RELEASE); }

    uint8_t* data() const noexcept { return field_; }
    wchar_t* chars() const noexcept { return reinterpret_cast<wchar_t*>(field_); }
    size_t size() const noexcept { return size_; }
    // Prepares the field as the record conversion's caller does: the type's fill everywhere.
    void Prepare(int type)
    {
        const wchar_t fill = tolvane::FieldFillChar(type);
        for (size_t i = 0; i + 1 < size_ && fill; i += 2)
            std::memcpy(field_ + i, &fill, sizeof fill);
        if (!fill)
            std::memset(field_, 0, size_);
    }
    Bytes Content() const { return {field_, field_ + size_}; }
    std::wstring Text() const { return {chars(), chars() + size_ / 2}; }

private:
    size_t size_;
    uint8_t* base_ = nullptr;
    uint8_t* field_ = nullptr;
};

// Handles kept in memory, as the classic library keeps them. It knows every buffer it handed
// out, so resizing anything it did not hand out fails.
class MemoryStringHandles final : public tolvane::RfcStringHandles {
public:
    tolvane::RfcStringHandle AllocString(uint32_t size) noexcept override
    {
        ++calls;
        lastStringSize = size;
        return std::exchange(failNext, false) ? nullptr : Keep(std::make_unique<uint8_t[]>(size + 1));
    }
    bool ResizeXString(tolvane::RfcXStringImage& x, int32_t length) noexcept override
    {
        ++calls;
        if (std::exchange(failNext, false) || length < 0 || (x.content && !owned_.count(x.content)))
            return false;
        uint8_t* fresh = length ? Keep(std::make_unique<uint8_t[]>(size_t(length))) : nullptr;
        if (x.content && fresh)
            std::memcpy(fresh, x.content, size_t(std::min(x.length, length)));
        if (x.content)
            owned_.erase(x.content);
        x = {length, fresh};
        return true;
    }
    bool Owns(const void* p) const { return owned_.count(static_cast<uint8_t*>(const_cast<void*>(p))) != 0; }
    size_t Live() const { return owned_.size(); }

    bool failNext = false;
    int calls = 0;
    uint32_t lastStringSize = 0;

private:
    uint8_t* Keep(std::unique_ptr<uint8_t[]> buffer)
    {
        uint8_t* p = buffer.get();
        owned_[p] = std::move(buffer);
        return p;
    }
    std::map<uint8_t*, std::unique_ptr<uint8_t[]>> owned_;
};

// Writes `value` into a prepared field at the edge of readable memory; returns the image.
inline Bytes Write(int type, int length, int decimals, const com::variant& value, tolvane::RfcStringHandles& strings)
{
    EdgeField field(FieldImageSize(type, length));
    field.Prepare(type);
    EXPECT_EQ(tolvane::RfcVariantToData(field.data(), type, length, decimals, value.get(), strings), 0);
    return field.Content();
}
inline Bytes Write(int type, int length, int decimals, const com::variant& value)
{
    MemoryStringHandles strings;
    return Write(type, length, decimals, value, strings);
}
inline std::wstring WrittenText(int type, int length, const com::variant& value)
{
    const Bytes image = Write(type, length, 0, value);
    return {reinterpret_cast<const wchar_t*>(image.data()), image.size() / 2};
}

// Reads a field holding exactly `image`; `length` is the byte length handed over.
inline com::variant Read(const Bytes& image, int type, int length, int decimals = 0)
{
    EdgeField field(image.size(), image);
    com::variant out = Text(L"stale");
    tolvane::RfcDataToVariant(out, field.data(), type, length, decimals);
    return out;
}

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
