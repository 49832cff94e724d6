#include "gateway/DescriptionBuilder.h"

#include <set>

namespace sapsim {
namespace {

using namespace simwire;

WireType wireType(const DataType& type)
{
    WireType t;
    switch (type.kind) {
    case sapsim::TypeKind::Scalar:
        t.kind = simwire::TypeKind::Scalar;
        t.letter = type.scalar.letter;
        t.length = static_cast<uint32_t>(type.scalar.length);
        t.decimals = static_cast<uint32_t>(type.scalar.decimals);
        break;
    case sapsim::TypeKind::Structure:
        t.kind = simwire::TypeKind::Structure;
        t.typeName = type.structure->name;
        break;
    case sapsim::TypeKind::Table:
        t.kind = simwire::TypeKind::Table;
        t.typeName = type.structure->name;
        break;
    }
    return t;
}

uint32_t byteLength(const DataType& type, int bytesPerChar)
{
    if (type.kind != sapsim::TypeKind::Scalar)
        return static_cast<uint32_t>(type.structure->totalLength(bytesPerChar));
    const ScalarType& s = type.scalar;
    return static_cast<uint32_t>(s.characterLike() ? s.length * bytesPerChar : s.length);
}

// Appends `s` and the structures inside it, each once.
void collect(const Structure& s, std::set<std::string>& seen, std::vector<TypeDescription>& out)
{
    if (!seen.insert(s.name).second)
        return;
    TypeDescription d;
    d.name = s.name;
    d.text = s.text;
    d.nucLength = static_cast<uint32_t>(s.totalLength(1));
    d.ucLength = static_cast<uint32_t>(s.totalLength(2));
    const auto b1 = s.layout(1), b2 = s.layout(2);
    for (size_t i = 0; i < s.components.size(); ++i) {
        const Component& c = s.components[i];
        d.fields.push_back({c.name, wireType(c.type), static_cast<uint32_t>(b1[i].offset), static_cast<uint32_t>(b1[i].length),
                            static_cast<uint32_t>(b2[i].offset), static_cast<uint32_t>(b2[i].length), c.text});
    }
    out.push_back(std::move(d));
    for (const Component& c : s.components)
        if (c.type.kind != sapsim::TypeKind::Scalar)
            collect(*c.type.structure, seen, out);
}

Direction direction(ParamClass c)
{
    switch (c) {
    case ParamClass::Importing: return Direction::Importing;
    case ParamClass::Exporting: return Direction::Exporting;
    case ParamClass::Changing: return Direction::Changing;
    case ParamClass::Tables: return Direction::Tables;
    }
    return Direction::Importing;
}

} // namespace

FunctionDescription DescriptionBuilder::function(const FunctionDef& def)
{
    FunctionDescription d;
    d.name = def.name;
    d.text = def.text;
    std::set<std::string> seen;
    for (const Parameter& p : def.parameters) {
        d.parameters.push_back({p.name, direction(p.paramClass), wireType(p.type), byteLength(p.type, 1),
                                byteLength(p.type, 2), p.optional, p.defaultValue, p.text});
        if (p.type.kind != sapsim::TypeKind::Scalar)
            collect(*p.type.structure, seen, d.types);
    }
    for (const ExceptionDef& e : def.exceptions)
        d.exceptions.push_back({e.name, e.text});
    return d;
}

TypeDescriptions DescriptionBuilder::structure(const Structure& s)
{
    TypeDescriptions d;
    std::set<std::string> seen;
    collect(s, seen, d.types);
    return d;
}

} // namespace sapsim
