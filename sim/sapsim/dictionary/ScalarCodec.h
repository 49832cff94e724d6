#pragma once

#include "dictionary/ScalarType.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace sapsim {

class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Converts scalar values between their external forms and one canonical text per type, which is
// what Value::scalar holds:
//   C  the characters, cut to the length, trailing blanks removed
//   N  exactly `length` digits            D  YYYYMMDD          T  HHMMSS
//   X  exactly `length` raw bytes         y  raw bytes         g  the text
//   P  [-]digits[.decimals], exactly `decimals` decimals, rounded half away from zero
//   F  the shortest text that reads back as the same double
//   I, s, b  the decimal integer
class ScalarCodec {
public:
    enum class Binary { Base64, Hex };

    static std::string initial(const ScalarType& type);

    // Reads what a SOAP request, a data file or a selection literal holds: dates as YYYY-MM-DD or
    // YYYYMMDD, times as HH:MM:SS or HHMMSS, numbers as decimal text, bytes in `binary` form.
    static std::string fromText(const ScalarType& type, std::string_view text, Binary binary = Binary::Base64);
    // The SOAP response form: dates YYYY-MM-DD, times HH:MM:SS, bytes base64, the rest canonical.
    static std::string toXml(const ScalarType& type, std::string_view canonical);

    // The fixed-width character form of table reading: width and the text, right-aligned
    // numbers with a trailing minus sign, bytes as hexadecimal digits.
    static int fixedWidth(const ScalarType& type);
    static void appendFixed(std::string& out, const ScalarType& type, std::string_view canonical);

    // Orders two canonical values of the same type.
    static int compare(const ScalarType& type, std::string_view a, std::string_view b);

    static std::string fromInteger(const ScalarType& type, int64_t value);
    static int64_t toInteger(std::string_view canonical);
    static std::string hex(std::string_view bytes);
};

} // namespace sapsim
