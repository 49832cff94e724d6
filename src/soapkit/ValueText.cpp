#include "ValueText.h"

#include "Base64.h"
#include "SoapError.h"
#include "TextCodec.h"
#include "XsdValue.h"
#include "com/SafeArray.h"
#include "com/Variant.h"

#include <charconv>
#include <cmath>

namespace soapkit {
namespace {

template <class Integer>
std::string integer_text(Integer value)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string bytes_text(SAFEARRAY* array)
{
    if (!array || SafeArrayGetDim(array) != 1)
        fail(DISP_E_TYPEMISMATCH, L"a byte array must have one dimension");
    com::array_data<const uint8_t> data(array);
    return base64_encode(data.span());
}

// Currency, decimal and anything else with a conversion to text: converted under the invariant
// locale, whose decimal separator is the point.
std::string invariant_text(const VARIANT& value)
{
    com::variant text;
    const HRESULT hr = com::variant(value).try_as(VT_BSTR, text, LOCALE_INVARIANT);
    if (FAILED(hr))
        fail(DISP_E_TYPEMISMATCH, L"the value (variant type " + std::to_wstring(value.vt) + L") has no text form");
    return to_utf8(std::wstring_view(V_BSTR(text.addr()), SysStringLen(V_BSTR(text.addr()))));
}

std::string plain_text(const VARIANT& v)
{
    switch (V_VT(&v)) {
    case VT_EMPTY:
    case VT_NULL: return {};
    case VT_BSTR: return to_utf8(std::wstring_view(V_BSTR(&v) ? V_BSTR(&v) : L"", SysStringLen(V_BSTR(&v))));
    case VT_R8: return double_text(V_R8(&v));
    case VT_R4: return double_text(V_R4(&v));
    case VT_I1: return integer_text(static_cast<int>(V_I1(&v)));
    case VT_I2: return integer_text(V_I2(&v));
    case VT_I4: return integer_text(V_I4(&v));
    case VT_INT: return integer_text(V_INT(&v));
    case VT_I8: return integer_text(V_I8(&v));
    case VT_UI1: return integer_text(static_cast<unsigned>(V_UI1(&v)));
    case VT_UI2: return integer_text(V_UI2(&v));
    case VT_UI4: return integer_text(V_UI4(&v));
    case VT_UINT: return integer_text(V_UINT(&v));
    case VT_UI8: return integer_text(V_UI8(&v));
    case VT_BOOL: return V_BOOL(&v) ? "true" : "false";
    case VT_DATE: return date_text(V_DATE(&v));
    case VT_ARRAY | VT_UI1: return bytes_text(V_ARRAY(&v));
    default:
        if (V_VT(&v) & VT_ARRAY)
            fail(DISP_E_TYPEMISMATCH, L"only arrays of bytes have a text form");
        return invariant_text(v);
    }
}

} // namespace

std::string double_text(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string value_text(const VARIANT& value)
{
    if (V_VT(&value) & VT_BYREF) {
        com::variant direct;
        if (FAILED(VariantCopyInd(direct.addr(), const_cast<VARIANT*>(&value))))
            fail(DISP_E_TYPEMISMATCH, L"the value cannot be read through its reference");
        return plain_text(direct.get());
    }
    return plain_text(value);
}

} // namespace soapkit
