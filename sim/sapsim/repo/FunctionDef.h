#pragma once

#include "dictionary/DataType.h"

#include <string>
#include <string_view>
#include <vector>

namespace sapsim {

enum class ParamClass { Importing, Exporting, Changing, Tables };

struct Parameter {
    std::string name;
    ParamClass paramClass = ParamClass::Importing;
    // A table parameter has kind Table; its name is the table type's, or empty for a table of the
    // row structure.
    DataType type;
    bool optional = false;
    std::string defaultValue;
    std::string text;

    // The dictionary letter by which interface descriptions report the parameter's kind:
    // "h" table type, "u" structure or table of a structure, "v" deep structure, else the scalar's.
    char exid() const;
    // The type name interface descriptions report (TABNAME).
    std::string typeName() const;
    bool input() const { return paramClass != ParamClass::Exporting; }
    bool output() const { return paramClass != ParamClass::Importing; }
};

struct ExceptionDef {
    std::string name;
    std::string text;
};

// The interface of one function module as the repository declares it.
struct FunctionDef {
    std::string name;
    std::string text;
    std::vector<Parameter> parameters;
    std::vector<ExceptionDef> exceptions;

    int indexOf(std::string_view parameterName) const;
};

} // namespace sapsim
