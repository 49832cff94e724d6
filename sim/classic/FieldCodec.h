#pragma once

#include "RowLayout.h"

#include "WireValue.h"

#include <optional>

namespace classicrfc {

// Values between a caller's raw buffer, laid out as a RowLayout says, and the gateway's wire
// values (canonical texts, bytes, structures). A value that does not fit its field, or a field
// that holds no valid value (a packed number with a bad nibble, an unreadable string), is an
// ApiFailure (RFC_CONVERSION or RFC_INVALID_PARAMETER); strings read from the caller's memory
// are checked before they are touched.
class FieldCodec {
public:
    // Nothing for a field the classic library cannot carry (tables, decimal floating point).
    static std::optional<simwire::WireValue> read(const uint8_t* base, const FieldLayout& field);
    static void write(uint8_t* base, const FieldLayout& field, const simwire::WireValue& value);

    static simwire::WireValue readRow(const uint8_t* row, const RowLayout& layout);
    // Fields the value does not name keep what the row holds.
    static void writeRow(uint8_t* row, const RowLayout& layout, const simwire::WireValue& structure);
    // The initial value of every field: blanks in C, zeros in N, D and T, zero bytes elsewhere.
    static void initialise(uint8_t* row, const RowLayout& layout);
};

} // namespace classicrfc
