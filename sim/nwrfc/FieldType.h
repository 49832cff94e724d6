#pragma once

#include "TypeDesc.h"

#include <memory>

namespace nwrfc {

// What one field or parameter holds, taken from its description: the library type, the length
// in characters (C, N, D, T) or bytes (X, P), the decimals, and for a structure or table the
// (row) type.
struct FieldType {
    RFCTYPE type = RFCTYPE_CHAR;
    unsigned length = 0;
    unsigned decimals = 0;
    std::shared_ptr<TypeDesc> rowType;

    static FieldType of(const RFC_FIELD_DESC& field);
    static FieldType of(const RFC_PARAMETER_DESC& parameter);

    bool integer() const;
    bool floating() const;
    bool characterLike() const { return type == RFCTYPE_CHAR || type == RFCTYPE_NUM || type == RFCTYPE_DATE || type == RFCTYPE_TIME; }
    bool binary() const { return type == RFCTYPE_BYTE || type == RFCTYPE_XSTRING; }
    bool textual() const { return type == RFCTYPE_CHAR || type == RFCTYPE_STRING; }
    bool complex() const { return type == RFCTYPE_STRUCTURE || type == RFCTYPE_TABLE; }
    // Digits of a packed number.
    unsigned digits() const { return 2 * length - 1; }
};

} // namespace nwrfc
