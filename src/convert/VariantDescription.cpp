#include "VariantDescription.h"

#include "VariantText.h"

#include <string_view>

namespace tolvane {
namespace {

struct NamedType {
    VARTYPE code;
    const wchar_t* name;
};

constexpr NamedType kTypeNames[] = {
    {VT_EMPTY, L"VT_EMPTY"},
    {VT_NULL, L"VT_NULL"},
    {VT_I2, L"VT_I2"},
    {VT_I4, L"VT_I4"},
    {VT_R4, L"VT_R4"},
    {VT_R8, L"VT_R8"},
    {VT_CY, L"VT_CY"},
    {VT_DATE, L"VT_DATE"},
    {VT_BSTR, L"VT_BSTR"},
    {VT_DISPATCH, L"VT_DISPATCH"},
    {VT_ERROR, L"VT_ERROR"},
    {VT_BOOL, L"VT_BOOL"},
    {VT_VARIANT, L"VT_VARIANT"},
    {VT_UNKNOWN, L"VT_UNKNOWN"},
    {VT_DECIMAL, L"VT_DECIMAL"},
    {VT_I1, L"VT_I1"},
    {VT_UI1, L"VT_UI1"},
    {VT_UI2, L"VT_UI2"},
    {VT_UI4, L"VT_UI4"},
    {VT_I8, L"VT_I8"},
    {VT_UI8, L"VT_UI8"},
    {VT_INT, L"VT_INT"},
    {VT_UINT, L"VT_UINT"},
    {VT_VOID, L"VT_VOID"},
    {VT_HRESULT, L"VT_HRESULT"},
    {VT_PTR, L"VT_PTR"},
    {VT_SAFEARRAY, L"VT_SAFEARRAY"},
    {VT_CARRAY, L"VT_CARRAY"},
    {VT_USERDEFINED, L"VT_USERDEFINED"},
    {VT_LPSTR, L"VT_LPSTR"},
    {VT_LPWSTR, L"VT_LPWSTR"},
    {VT_RECORD, L"VT_RECORD"},
    {VT_INT_PTR, L"VT_INT_PTR"},
    {VT_UINT_PTR, L"VT_UINT_PTR"},
    {VT_FILETIME, L"VT_FILETIME"},
    {VT_BLOB, L"VT_BLOB"},
    {VT_STREAM, L"VT_STREAM"},
    {VT_STORAGE, L"VT_STORAGE"},
    {VT_STREAMED_OBJECT, L"VT_STREAMED_OBJECT"},
    {VT_STORED_OBJECT, L"VT_STORED_OBJECT"},
    {VT_BLOB_OBJECT, L"VT_BLOB_OBJECT"},
    {VT_CF, L"VT_CF"},
    {VT_CLSID, L"VT_CLSID"},
    {VT_VERSIONED_STREAM, L"VT_VERSIONED_STREAM"},
    {VT_BSTR_BLOB, L"VT_BSTR_BLOB"},
};

constexpr NamedType kFlagNames[] = {
    {VT_VECTOR, L"|VT_VECTOR"},
    {VT_ARRAY, L"|VT_ARRAY"},
    {VT_BYREF, L"|VT_BYREF"},
    {VT_RESERVED, L"|VT_RESERVED"},
};

std::wstring BaseTypeName(VARTYPE base)
{
    for (const auto& type : kTypeNames) {
        if (type.code == base)
            return type.name;
    }
    return L"UNKNOWN_VT(" + std::to_wstring(base) + L")";
}

} // namespace

std::wstring VariantTypeName(VARTYPE code)
{
    std::wstring name = BaseTypeName(code & VT_TYPEMASK);
    for (const auto& flag : kFlagNames) {
        if (code & flag.code)
            name += flag.name;
    }
    return name;
}

std::wstring DescribeVariant(const VARIANT& value)
{
    return VariantText(value).value_or(std::wstring()) + L" (" + VariantTypeName(V_VT(&value)) + L")";
}

std::wstring VariantValueDisplay(const VARIANT& value)
{
    const VARTYPE type = V_VT(&value);
    if (type == VT_NULL)
        return L"{null}";
    if (type & VT_ARRAY)
        return L"{binary}";
    if (type == VT_EMPTY || (type & VT_TYPEMASK) == VT_ERROR)
        return L"{empty}";
    return VariantText(value).value_or(std::wstring());
}

} // namespace tolvane
