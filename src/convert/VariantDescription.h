#pragma once
// Readable descriptions of variants for error texts and traces.
#include <oaidl.h>

#include <string>

namespace tolvane {

// The automation name of a variant type code: the base type (low 12 bits) by its name, or
// "UNKNOWN_VT(<number>)", then "|VT_VECTOR", "|VT_ARRAY", "|VT_BYREF", "|VT_RESERVED" for
// each flag that is set, in that order. 0x2011 reads "VT_UI1|VT_ARRAY".
std::wstring VariantTypeName(VARTYPE code);

// "<text> (<type name>)": the variant's text (empty when it has none) and VariantTypeName.
std::wstring DescribeVariant(const VARIANT& value);

// How a conversion error shows the offending value: "{null}" for a null variant, "{binary}"
// for any array, "{empty}" for an empty variant or an omitted argument (an error variant),
// else the variant's text (empty when it has none).
std::wstring VariantValueDisplay(const VARIANT& value);

} // namespace tolvane
