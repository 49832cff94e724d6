#pragma once
// com::variant: owns one VARIANT (initialised on creation, VariantClear on destruction).
// Variants are made by the million when tables are read, so initialising is done inline as
// VariantInit does it (the whole VARIANT zeroed, hence VT_EMPTY: a short value such as VT_I2
// leaves no stray bytes behind it), and clearing an empty variant, which changes nothing, is
// skipped.
#include "HResultError.h"

#include <oleauto.h>

#include <cstring>
#include <string_view>
#include <utility>

namespace com {

class variant {
public:
    variant() noexcept { Empty(v_); }
    variant(const VARIANT& other) : variant() { check(VariantCopy(&v_, const_cast<VARIANT*>(&other))); }
    variant(const variant& other) : variant(other.v_) {}
    variant(variant&& other) noexcept : v_(other.v_) { Empty(other.v_); }
    ~variant() { clear(); }

    variant& operator=(variant other) noexcept
    {
        std::swap(v_, other.v_);
        return *this;
    }

    explicit variant(long value) noexcept : variant()
    {
        V_VT(&v_) = VT_I4;
        V_I4(&v_) = value;
    }
    explicit variant(int value) noexcept : variant(static_cast<long>(value)) {}
    explicit variant(short value) noexcept : variant()
    {
        V_VT(&v_) = VT_I2;
        V_I2(&v_) = value;
    }
    explicit variant(double value) noexcept : variant()
    {
        V_VT(&v_) = VT_R8;
        V_R8(&v_) = value;
    }
    explicit variant(bool value) noexcept : variant()
    {
        V_VT(&v_) = VT_BOOL;
        V_BOOL(&v_) = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    explicit variant(std::wstring_view text) : variant()
    {
        BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (!s)
            throw std::bad_alloc();
        V_VT(&v_) = VT_BSTR;
        V_BSTR(&v_) = s;
    }
    explicit variant(const wchar_t* text) : variant(std::wstring_view(text)) {}
    // Takes a new reference to the object.
    explicit variant(IDispatch* object) noexcept : variant()
    {
        V_VT(&v_) = VT_DISPATCH;
        V_DISPATCH(&v_) = object;
        if (object)
            object->AddRef();
    }
    explicit variant(IUnknown* object) noexcept : variant()
    {
        V_VT(&v_) = VT_UNKNOWN;
        V_UNKNOWN(&v_) = object;
        if (object)
            object->AddRef();
    }

    // The automation marker of an omitted optional argument.
    static variant missing() noexcept
    {
        variant v;
        V_VT(&v.v_) = VT_ERROR;
        V_ERROR(&v.v_) = DISP_E_PARAMNOTFOUND;
        return v;
    }
    static variant null() noexcept
    {
        variant v;
        V_VT(&v.v_) = VT_NULL;
        return v;
    }

    // Adopts the contents of a VARIANT the caller owns; `other` is left empty.
    static variant attach(VARIANT& other) noexcept
    {
        variant v;
        v.v_ = other;
        VariantInit(&other);
        return v;
    }

    VARTYPE vt() const noexcept { return V_VT(&v_); }
    const VARIANT& get() const noexcept { return v_; }
    VARIANT* addr() noexcept { return &v_; }
    const VARIANT* addr() const noexcept { return &v_; }
    VARIANT* put() noexcept
    {
        clear();
        return &v_;
    }
    void clear() noexcept
    {
        if (V_VT(&v_) != VT_EMPTY)
            VariantClear(&v_);
    }
    [[nodiscard]] VARIANT detach() noexcept
    {
        VARIANT result = v_;
        VariantInit(&v_);
        return result;
    }

    // Hands out a copy through an out parameter.
    HRESULT copy_to(VARIANT* out) const noexcept
    {
        if (!out)
            return E_POINTER;
        VariantInit(out);
        return VariantCopy(out, const_cast<VARIANT*>(&v_));
    }

    // The value converted to `type`, under the user-default locale unless told otherwise.
    // Throws hresult_error when the conversion fails.
    variant as(VARTYPE type, LCID locale = LOCALE_USER_DEFAULT) const
    {
        variant result;
        check(VariantChangeTypeEx(result.addr(), const_cast<VARIANT*>(&v_), locale, 0, type));
        return result;
    }
    // The same conversion, reporting failure by its HRESULT instead of throwing.
    HRESULT try_as(VARTYPE type, variant& result, LCID locale = LOCALE_USER_DEFAULT) const noexcept
    {
        return VariantChangeTypeEx(result.put(), const_cast<VARIANT*>(&v_), locale, 0, type);
    }

private:
    static void Empty(VARIANT& v) noexcept { std::memset(&v, 0, sizeof v); }

    VARIANT v_;
};

} // namespace com
