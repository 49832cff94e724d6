#pragma once
// SAP's one-letter dictionary type codes, as interface and structure descriptions deliver them,
// and what they mean for a scalar descriptor.
#include "idl/Tolvane_h.h"

namespace tolvane {

// The ABAPTYPE of a dictionary letter (C D P T X N F I s b g y, case-sensitive), or -1 for any
// other letter.
long AbapTypeOfLetter(wchar_t letter) noexcept;

// A scalar's ScalarLength from the byte length of a dictionary entry: the length itself for
// C, D, T, X and N, the number of digits (2 * length - 1) for P, 0 for the others.
short ScalarLengthOfEntry(wchar_t letter, long length) noexcept;

// The kinds of parameter that interface descriptions deliver by letter.
enum class ParameterKind { Scalar, Structure, DeepStructure, TableType };
ParameterKind ParameterKindOfLetter(wchar_t letter) noexcept;

} // namespace tolvane
