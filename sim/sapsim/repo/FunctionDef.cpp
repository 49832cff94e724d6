#include "repo/FunctionDef.h"

#include "dictionary/Structure.h"

namespace sapsim {

char Parameter::exid() const
{
    switch (type.kind) {
    case TypeKind::Scalar: return type.scalar.letter;
    case TypeKind::Structure: return type.structure->deep() ? 'v' : 'u';
    case TypeKind::Table: return type.name.empty() ? 'u' : 'h';
    }
    return ' ';
}

std::string Parameter::typeName() const
{
    if (type.kind == TypeKind::Table && type.name.empty())
        return type.structure->name;
    return type.name;
}

int FunctionDef::indexOf(std::string_view parameterName) const
{
    for (size_t i = 0; i < parameters.size(); ++i)
        if (parameters[i].name == parameterName)
            return static_cast<int>(i);
    return -1;
}

} // namespace sapsim
