#include "IntRfcStrings.h"

#include "idl/Tolvane_h.h"

#include <algorithm>
#include <cstring>

namespace tolvane {

bool CIntRfcStrings::ResizeXString(RfcXStringImage& xstring, int32_t length) noexcept
{
    return m_rfc.RfcResizeXStringU(reinterpret_cast<classic::RFC_XSTRING*>(&xstring), length) == classic::RFC_OK;
}

void* CIntRfcStrings::Held(const void* field, int abapType) noexcept
{
    if (abapType == TYPE_STRING) {
        RfcStringHandle handle = nullptr;
        std::memcpy(&handle, field, sizeof handle);
        return handle;
    }
    if (abapType == TYPE_XSTRING) {
        classic::RFC_XSTRING image{};
        std::memcpy(&image, field, sizeof image);
        return image.content;
    }
    return nullptr;
}

void CIntRfcStrings::Free(void* value, int abapType) const noexcept
{
    if (!value)
        return;
    if (abapType == TYPE_STRING) {
        m_rfc.RfcFreeStringU(static_cast<classic::RFC_STRING>(value));
    } else if (abapType == TYPE_XSTRING) {
        classic::RFC_XSTRING image{1, static_cast<classic::RFC_BYTE*>(value)};
        m_rfc.RfcResizeXStringU(&image, 0);
    }
}

void CIntRfcStrings::Release(void* field, int abapType) const noexcept
{
    if (abapType != TYPE_STRING && abapType != TYPE_XSTRING)
        return;
    Free(Held(field, abapType), abapType);
    std::memset(field, 0, abapType == TYPE_STRING ? sizeof(RfcStringHandle) : sizeof(RfcXStringImage));
}

void CIntRfcSentStrings::Note(const void* field, int abapType)
{
    if (void* value = CIntRfcStrings::Held(field, abapType))
        m_values.emplace_back(value, abapType);
}

void CIntRfcSentStrings::FreeReplaced(const CIntRfcStrings& strings, std::vector<void*> held) noexcept
{
    std::sort(held.begin(), held.end());
    for (const auto& [value, type] : m_values)
        if (!std::binary_search(held.begin(), held.end(), value))
            strings.Free(value, type);
    m_values.clear();
}

classic::RFC_TYPEHANDLE RfcTypeCode(long abapType) noexcept
{
    switch (abapType) {
    case TYPE_CHAR:
    case TYPE_DATE:
    case TYPE_BCD:
    case TYPE_TIME:
    case TYPE_BYTE:
    case TYPE_NUM:
    case TYPE_FLOAT:
    case TYPE_INT:
    case TYPE_INT2:
    case TYPE_INT1:
    case TYPE_STRING:
    case TYPE_XSTRING:
        return static_cast<classic::RFC_TYPEHANDLE>(abapType);
    default:
        return static_cast<classic::RFC_TYPEHANDLE>(-1);
    }
}

} // namespace tolvane
