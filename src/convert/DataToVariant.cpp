// Field to variant.
#include "FieldConversion.h"

#include "Bcd.h"
#include "DateTime.h"
#include "RawBytes.h"
#include "UnalignedText.h"
#include "idl/Tolvane_h.h"
#include "session/Trace.h"
#include "session/XTolvane.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace tolvane {
namespace {

template <class T>
T LoadValue(const void* data) noexcept
{
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

void ReadText(com::variant& out, const void* data, size_t bytes)
{
    std::wstring text = LoadChars(data, bytes / sizeof(wchar_t));
    text.erase(text.find_last_not_of(L' ') + 1);
    out = com::variant(std::wstring_view(text));
}

void ReadBcd(com::variant& out, const void* data, size_t bytes, int decimals)
{
    // Room for every digit of the largest field, the sign, the point and a leading "0".
    const size_t room = 2 * std::min<size_t>(bytes, kBcdMaxBytes) + static_cast<size_t>(std::max(decimals, 0)) + 4;
    std::wstring text(room, L' ');
    const int length = static_cast<int>(std::min<size_t>(bytes, kBcdMaxBytes + 1));
    if (RfcConvertBcdToCharU(static_cast<const uint8_t*>(data), length, decimals, text.data(),
                             static_cast<int>(text.size())) != BCD_OK)
        throw CXTolvane(BCD_CONVERSION_INVALID, {}, L"RfcDataToVariant(), RFCTYPE_BCD");
    const size_t first = text.find_first_not_of(L' ');
    const size_t last = text.find_last_not_of(L' ');
    out = com::variant(std::wstring_view(text).substr(first, last - first + 1));
}

void ReadInt1(com::variant& out, const void* data)
{
    VARIANT* result = out.put();
    // An INT1 holds 0 to 255: a two-byte integer carries it as every transport reads it (a
    // signed byte would show 200 as -56).
    V_VT(result) = VT_I2;
    V_I2(result) = LoadValue<uint8_t>(data);
}

void ReadString(com::variant& out, const void* data)
{
    const auto handle = LoadValue<const char*>(data);
    const int size = handle ? static_cast<int>(std::strlen(handle)) : 0;
    if (size == 0) {
        out = com::variant(std::wstring_view());
        return;
    }
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, handle, size, nullptr, 0);
    if (n <= 0) {
        ostrel::TraceFormat(L"error while converting UTF8 to multibyte: %i\n", static_cast<int>(GetLastError()));
        return;
    }
    std::wstring text(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, handle, size, text.data(), n);
    out = com::variant(std::wstring_view(text));
}

void ReadXString(com::variant& out, const void* data)
{
    const auto image = LoadValue<RfcXStringImage>(data);
    const size_t count = image.content && image.length > 0 ? static_cast<size_t>(image.length) : 0;
    RfcRawToVariantSafeArray(out, image.content, count);
}

void ReadField(com::variant& out, const void* data, int abapType, size_t bytes, int decimals)
{
    switch (abapType) {
    case TYPE_CHAR:
    case TYPE_NUM:
        return ReadText(out, data, bytes);
    case TYPE_BCD:
        return ReadBcd(out, data, bytes, decimals);
    case TYPE_DATE:
        // A date that is not all zeros and not a calendar date stays empty.
        AbapDateToVariant(out, static_cast<const wchar_t*>(data));
        return;
    case TYPE_TIME:
        return AbapTimeToVariant(out, static_cast<const wchar_t*>(data));
    case TYPE_BYTE:
        return RfcRawToVariantSafeArray(out, static_cast<const uint8_t*>(data), bytes);
    case TYPE_FLOAT:
        out = com::variant(LoadValue<double>(data));
        return;
    case TYPE_INT:
        out = com::variant(static_cast<long>(LoadValue<int32_t>(data)));
        return;
    case TYPE_INT2:
        out = com::variant(LoadValue<short>(data));
        return;
    case TYPE_INT1:
        return ReadInt1(out, data);
    case TYPE_STRING:
        return ReadString(out, data);
    case TYPE_XSTRING:
        return ReadXString(out, data);
    default:
        return;
    }
}

} // namespace

void RfcDataToVariant(com::variant& out, const void* data, int abapType, int length, int decimals)
{
    out.clear();
    if (!data)
        return;
    try {
        ReadField(out, data, abapType, static_cast<size_t>(std::max(length, 0)), decimals);
    } catch (const std::bad_alloc&) {
        out.clear();
        throw CXTolvane(MEMORY_ALLOC_EXCEPTION);
    }
}

} // namespace tolvane
