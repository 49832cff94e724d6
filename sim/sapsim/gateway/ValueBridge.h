#pragma once

#include "dictionary/Structure.h"
#include "rfc/FunctionCall.h"

#include "WireValue.h"

#include <set>
#include <string>

namespace sapsim {

// Moves values between a FunctionCall and the gateway's wire values. Scalars travel in their
// canonical text (bytes raw), so both directions are ScalarCodec's canonical forms.
class ValueBridge {
public:
    // Fills the call's inputs; inputs not given get their default. Throws SystemFailure
    // (PARAMETER_UNKNOWN, CONVERSION_ERROR).
    static void readInputs(FunctionCall& call, const simwire::NamedValues& inputs);
    // Exporting, changing and table parameters in interface order (only the tables when
    // `tablesOnly`), leaving out those the caller switched off.
    static simwire::NamedValues outputs(const FunctionCall& call, bool tablesOnly, const std::set<std::string>& inactive);

    static Value toValue(const simwire::WireValue& wire, const DataType& type, const std::string& path);
    static simwire::WireValue toWire(const Value& value, const DataType& type);
};

} // namespace sapsim
