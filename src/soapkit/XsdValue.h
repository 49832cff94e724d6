#pragma once
// Element content read as an XML Schema (2001) simple type, as an automation value.
//   long, int, short, byte, unsignedLong/Int/Short/Byte, integer: VT_I8, VT_I4, VT_I2, VT_I1,
//       VT_UI8 ... VT_UI1, VT_I8 (a value outside the type's range: DISP_E_OVERFLOW)
//   double, float: VT_R8, VT_R4 (INF, -INF and NaN included); decimal: VT_DECIMAL
//   boolean: VT_BOOL; string, normalizedString, token: VT_BSTR (as written)
//   date, time, dateTime: VT_DATE (a time zone is ignored: the value stays as the server wrote
//       it); SAP's initial date 0000-00-00 reads as VT_EMPTY
//   base64Binary, hexBinary: VT_ARRAY | VT_UI1
// Empty content of a number, boolean, date or time reads as VT_EMPTY. Content that is not a
// valid literal of the type: DISP_E_TYPEMISMATCH. An unknown type name: E_INVALIDARG.
#include "com/Variant.h"

#include <string>
#include <string_view>

namespace soapkit {

com::variant decode_xsd(std::string_view text, std::wstring_view type);

// A type name resolved once, for decoding the values of a whole column the way decode_xsd does.
class XsdDecoder {
public:
    explicit XsdDecoder(std::wstring_view type);
    com::variant decode(std::string_view text) const;

    enum class Kind {
        String, Base64, Hex, Long, Int, Short, Byte, UnsignedLong, UnsignedInt, UnsignedShort, UnsignedByte,
        Double, Float, Decimal, Boolean, Date, Time, DateTime, Unknown
    };

private:
    com::variant decode_integer(std::string_view text) const;

    std::wstring type_;
    Kind kind_;
};

// An automation date as XML Schema text: "YYYY-MM-DD" for a whole day, else
// "YYYY-MM-DDThh:mm:ss".
std::string date_text(DATE value);

} // namespace soapkit
