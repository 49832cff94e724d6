#pragma once

#include "FieldType.h"

#include "WireValue.h"

#include <cstdint>
#include <string>

namespace nwrfc {

// The value of one scalar field. Which member holds it depends on the type: `text` for C, N,
// D, T (always exactly their length), STRING and P (the decimal text, e.g. "-12.50"); `bytes`
// for X (exactly its length) and XSTRING; `number` for floating types; `integer` for integers.
struct Scalar {
    Ustring text;
    std::string bytes;
    double number = 0;
    int64_t integer = 0;
};

// The library's conversions between a field and what the value functions take and give.
// Every refusal is an ApiFailure: RFC_CONVERSION_FAILURE for a value that does not fit the
// type (too long, not a number, out of range, wrong type), RFC_BUFFER_TOO_SMALL is left to
// the caller, which knows the buffer.
class ScalarConversion {
public:
    static Scalar initial(const FieldType& type);

    static void setText(Scalar& v, const FieldType& type, Uview text);
    static void setInteger(Scalar& v, const FieldType& type, int64_t value);
    static void setFloat(Scalar& v, const FieldType& type, double value);
    static void setBytes(Scalar& v, const FieldType& type, std::string_view bytes);
    static void setDate(Scalar& v, const FieldType& type, Uview date);
    static void setTime(Scalar& v, const FieldType& type, Uview time);

    // The field as characters: C blank-padded to its length, numbers as decimal text, F as
    // "1.5000000000000000E+00", bytes as upper-case hexadecimal digits.
    static Ustring chars(const Scalar& v, const FieldType& type);
    // As chars, but C without its trailing blanks.
    static Ustring text(const Scalar& v, const FieldType& type);
    static Ustring digits(const Scalar& v, const FieldType& type);
    static Ustring date(const Scalar& v, const FieldType& type);
    static Ustring time(const Scalar& v, const FieldType& type);
    static int64_t integer(const Scalar& v, const FieldType& type);
    static double floating(const Scalar& v, const FieldType& type);
    static std::string bytes(const Scalar& v, const FieldType& type);
    static unsigned stringLength(const Scalar& v, const FieldType& type);

    static simwire::WireValue toWire(const Scalar& v, const FieldType& type);
    static void fromWire(Scalar& v, const FieldType& type, const simwire::WireValue& wire);
};

} // namespace nwrfc
