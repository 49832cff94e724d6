#pragma once

#include "WireBuffer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace simwire {

enum class TypeKind : uint8_t { Scalar = 0, Structure = 1, Table = 2 };

// The type of a parameter or a field. `letter` is the dictionary letter of a scalar (C N D T X
// P F I s b g y); `length` counts characters for C, N, D and T and bytes otherwise; a structure
// or table names its (row) structure in `typeName`, which the description's type list holds.
struct WireType {
    TypeKind kind = TypeKind::Scalar;
    char letter = 'C';
    uint32_t length = 0;
    uint32_t decimals = 0;
    std::string typeName;
};

struct FieldDescription {
    std::string name;
    WireType type;
    uint32_t nucOffset = 0, nucLength = 0, ucOffset = 0, ucLength = 0;
    std::string text;
};

struct TypeDescription {
    std::string name;
    std::string text;
    uint32_t nucLength = 0, ucLength = 0;
    std::vector<FieldDescription> fields;
};

enum class Direction : uint8_t { Importing = 1, Exporting = 2, Changing = 3, Tables = 7 };

struct ParameterDescription {
    std::string name;
    Direction direction = Direction::Importing;
    WireType type;
    uint32_t nucLength = 0, ucLength = 0;
    bool optional = false;
    std::string defaultValue;
    std::string text;
};

struct ExceptionDescription {
    std::string name;
    std::string text;
};

// A function module's interface together with every structure it uses, nested ones included.
struct FunctionDescription {
    std::string name;
    std::string text;
    std::vector<ParameterDescription> parameters;
    std::vector<ExceptionDescription> exceptions;
    std::vector<TypeDescription> types;
};

// A structure together with the structures it contains (the first entry is the one asked for).
struct TypeDescriptions {
    std::vector<TypeDescription> types;
};

void write(WireWriter& w, const FunctionDescription& d);
void write(WireWriter& w, const TypeDescriptions& d);
FunctionDescription readFunctionDescription(WireReader& r);
TypeDescriptions readTypeDescriptions(WireReader& r);

} // namespace simwire
