#pragma once

#include "dictionary/ScalarType.h"

#include <string>

namespace sapsim {

class Structure;

enum class TypeKind { Scalar, Structure, Table };

// The type of a parameter or a structure component. Structures and table rows point into the
// dictionary, which outlives every DataType.
struct DataType {
    TypeKind kind = TypeKind::Scalar;
    ScalarType scalar;
    const Structure* structure = nullptr; // the structure itself, or the row of a table
    std::string name;                     // dictionary name: data element, structure or table type
};

} // namespace sapsim
