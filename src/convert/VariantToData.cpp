// Variant to field.
#include "FieldConversion.h"

#include "Bcd.h"
#include "DateTime.h"
#include "RawBytes.h"
#include "UnalignedText.h"
#include "VariantByteArray.h"
#include "VariantDescription.h"
#include "VariantText.h"
#include "idl/Tolvane_h.h"
#include "session/XTolvane.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {
namespace {

[[noreturn]] void Fail(uint32_t kind, const wchar_t* message, const wchar_t* context, const VARIANT& value)
{
    throw CXTolvane(kind, message, context, VariantValueDisplay(value));
}

std::wstring TextOf(const VARIANT& value, const wchar_t* context)
{
    std::optional<std::wstring> text = VariantText(value);
    if (!text)
        Fail(STRING_CONVERSION, L"cannot convert to string", context, value);
    return std::move(*text);
}

void WriteChar(void* field, size_t length, const VARIANT& value)
{
    const std::wstring text = TextOf(value, L"RfcVariantToData(),TYPE_CHAR");
    StoreChars(field, std::wstring_view(text).substr(0, length));
}

void WriteNum(void* field, size_t length, const VARIANT& value)
{
    constexpr wchar_t kContext[] = L"RfcVariantToData(),TYPE_NUM";
    const std::wstring text = TextOf(value, kContext);
    StoreChars(field, std::wstring(length, L'0'));
    if (text.size() > length)
        Fail(NUMERIC_CONVERSION, L"too large for field", kContext, value);
    StoreChars(static_cast<wchar_t*>(field) + (length - text.size()), text);
}

// Numbers become text with the user's decimal separator, and users type it too; the packed
// conversion reads a point, so the user's separator becomes one.
std::wstring WithDecimalPoint(std::wstring text)
{
    wchar_t separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 2 && separator[0] != L'.')
        std::replace(text.begin(), text.end(), separator[0], L'.');
    return text;
}

void WriteBcd(void* field, size_t length, int decimals, const VARIANT& value)
{
    constexpr wchar_t kContext[] = L"RfcVariantToData(),TYPE_BCD";
    const std::optional<std::wstring> text = VariantText(value);
    if (!text)
        throw CXTolvane(STRING_CONVERSION);
    const std::wstring number = WithDecimalPoint(*text);
    const int bytes = static_cast<int>(std::min<size_t>(length / 2 + 1, std::numeric_limits<int>::max()));
    const int textLength = static_cast<int>(std::min<size_t>(number.size(), std::numeric_limits<int>::max()));
    const int result = RfcConvertCharToBcdU(number.c_str(), textLength, decimals, static_cast<uint8_t*>(field), bytes);
    if (result == BCD_TOO_LARGE)
        Fail(BCD_CONVERSION_TOO_LARGE, L"number too large", kContext, value);
    if (result == BCD_NOT_A_NUMBER || result == BCD_INVALID_LENGTH)
        Fail(BCD_CONVERSION_INVALID, L"invalid format", kContext, value);
}

// A floating-point NaN, which no integer can hold (the system's conversion does not always say so).
bool IsNaN(const VARIANT& value) noexcept
{
    const bool byRef = V_VT(&value) & VT_BYREF;
    switch (V_VT(&value) & ~VT_BYREF) {
    case VT_R4:
        return std::isnan(byRef ? *V_R4REF(&value) : V_R4(&value));
    case VT_R8:
        return std::isnan(byRef ? *V_R8REF(&value) : V_R8(&value));
    case VT_DATE:
        return std::isnan(byRef ? *V_DATEREF(&value) : V_DATE(&value));
    default:
        return false;
    }
}

// Writes the `size` bytes of the value converted to `type`.
void WriteNumber(void* field, size_t size, VARTYPE type, const VARIANT& value, const wchar_t* message,
                 const wchar_t* context)
{
    com::variant number;
    if ((type != VT_R8 && IsNaN(value)) || !ChangeVariantType(number, value, type))
        Fail(NUMERIC_CONVERSION, message, context, value);
    // Every member of the variant's value union starts at the same address.
    std::memcpy(field, &V_UI1(number.addr()), size);
}

std::string ToUtf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(std::max(n, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, result.data(), n, nullptr, nullptr);
    return result;
}

void WriteString(void* field, const VARIANT& value, RfcStringHandles& strings)
{
    const std::string text = ToUtf8(TextOf(value, L"RfcVariantToData(),TYPE_STRING"));
    const RfcStringHandle handle = strings.AllocString(static_cast<uint32_t>(text.size()));
    if (!handle)
        throw CXTolvane(MEMORY_ALLOC_EXCEPTION);
    std::memcpy(handle, text.data(), text.size()); // the terminator is zero already
    std::memcpy(field, &handle, sizeof handle);
}

void WriteXString(void* field, const VARIANT& value, RfcStringHandles& strings)
{
    constexpr wchar_t kContext[] = L"RfcVariantToData(),TYPE_XSTRING";
    const VariantByteArray array(value, {kContext, kContext, kContext});
    const auto bytes = array.bytes();
    RfcXStringImage image;
    std::memcpy(&image, field, sizeof image);
    if (bytes.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()) ||
        !strings.ResizeXString(image, static_cast<int32_t>(bytes.size())))
        throw CXTolvane(MEMORY_ALLOC_EXCEPTION, {}, kContext);
    if (!bytes.empty())
        std::memcpy(image.content, bytes.data(), bytes.size());
    std::memcpy(field, &image, sizeof image);
}

void WriteField(void* field, int abapType, size_t length, int decimals, const VARIANT& value,
                RfcStringHandles& strings)
{
    switch (abapType) {
    case TYPE_CHAR:
        return WriteChar(field, length, value);
    case TYPE_NUM:
        return WriteNum(field, length, value);
    case TYPE_BCD:
        return WriteBcd(field, length, decimals, value);
    case TYPE_DATE:
        return VariantToAbapDate(static_cast<wchar_t*>(field), value);
    case TYPE_TIME:
        return VariantToAbapTime(static_cast<wchar_t*>(field), value);
    case TYPE_BYTE:
        return CopyVariantBytes(static_cast<uint8_t*>(field), value, length);
    case TYPE_FLOAT:
        return WriteNumber(field, 8, VT_R8, value, L"cannot convert to float", L"RfcVariantToData(),TYPE_FLOAT");
    case TYPE_INT:
        return WriteNumber(field, 4, VT_I4, value, L"cannot convert to int", L"RfcVariantToData(),TYPE_INT");
    case TYPE_INT2:
        return WriteNumber(field, 2, VT_I2, value, L"cannot convert to int2", L"RfcVariantToData(),TYPE_INT2");
    case TYPE_INT1:
        return WriteNumber(field, 1, VT_UI1, value, L"cannot convert to int1", L"RfcVariantToData(),TYPE_INT1");
    case TYPE_STRING:
        return WriteString(field, value, strings);
    case TYPE_XSTRING:
        return WriteXString(field, value, strings);
    default:
        return;
    }
}

} // namespace

wchar_t FieldFillChar(int abapType) noexcept
{
    switch (abapType) {
    case TYPE_CHAR:
        return L' ';
    case TYPE_DATE:
    case TYPE_TIME:
    case TYPE_NUM:
        return L'0';
    default:
        return L'\0';
    }
}

int RfcVariantToData(void* field, int abapType, int length, int decimals, const VARIANT& value,
                     RfcStringHandles& strings)
{
    try {
        WriteField(field, abapType, static_cast<size_t>(std::max(length, 0)), decimals, value, strings);
    } catch (const std::bad_alloc&) {
        throw CXTolvane(MEMORY_ALLOC_EXCEPTION);
    }
    return 0;
}

} // namespace tolvane
