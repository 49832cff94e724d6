#pragma once
// One value between a variant and its field in a record of the classic library. Field images,
// where n is the descriptor's length:
//   TYPE_CHAR, TYPE_NUM    n UTF-16 code units         TYPE_FLOAT   8-byte double
//   TYPE_DATE              8 UTF-16 code units         TYPE_INT     4-byte signed integer
//   TYPE_TIME              6 UTF-16 code units         TYPE_INT2    2-byte signed integer
//   TYPE_BCD               n / 2 + 1 packed bytes      TYPE_INT1    1 unsigned byte
//   TYPE_BYTE              n bytes                     TYPE_STRING  RfcStringHandle
//                                                      TYPE_XSTRING RfcXStringImage
// all little-endian, at any offset. Type codes are those of ABAPTYPE; other codes convert
// nothing. No conversion reads or writes outside the image, for any length.
#include "StringHandles.h"
#include "com/Variant.h"

namespace tolvane {

// The character a field of `abapType` is filled with before it is written: a blank for
// TYPE_CHAR, "0" for TYPE_DATE, TYPE_TIME and TYPE_NUM, code 0 (zero bytes) for every other type.
wchar_t FieldFillChar(int abapType) noexcept;

// Writes the field at `field` from `value`; `length` is the descriptor's length (characters,
// digits or bytes by type) and `decimals` its decimals. The caller fills the field first and
// sends the type's initial value without calling this. STRING and XSTRING fields are
// allocated through `strings`. Returns 0; throws CXTolvane when the value does not fit the
// field, and may leave the field partly written then.
int RfcVariantToData(void* field, int abapType, int length, int decimals, const VARIANT& value,
                     RfcStringHandles& strings);

// `out` becomes the value of the field at `data`; `length` is the field's byte length in the
// Unicode layout (2 per character for TYPE_CHAR and TYPE_NUM). Null data gives an empty
// variant. Throws CXTolvane when a packed field does not read as a number, or when memory runs out.
void RfcDataToVariant(com::variant& out, const void* data, int abapType, int length, int decimals);

} // namespace tolvane
