#include "WireDescription.h"

namespace simwire {
namespace {

void writeType(WireWriter& w, const WireType& t)
{
    w.u8(static_cast<uint8_t>(t.kind));
    w.u8(static_cast<uint8_t>(t.letter));
    w.u32(t.length);
    w.u32(t.decimals);
    w.text(t.typeName);
}

WireType readType(WireReader& r)
{
    WireType t;
    const uint8_t kind = r.u8();
    if (kind > static_cast<uint8_t>(TypeKind::Table))
        throw WireError("unknown type kind");
    t.kind = static_cast<TypeKind>(kind);
    t.letter = static_cast<char>(r.u8());
    t.length = r.u32();
    t.decimals = r.u32();
    t.typeName = r.text();
    return t;
}

void writeTypes(WireWriter& w, const std::vector<TypeDescription>& types)
{
    w.u32(static_cast<uint32_t>(types.size()));
    for (const TypeDescription& t : types) {
        w.text(t.name);
        w.text(t.text);
        w.u32(t.nucLength);
        w.u32(t.ucLength);
        w.u32(static_cast<uint32_t>(t.fields.size()));
        for (const FieldDescription& f : t.fields) {
            w.text(f.name);
            writeType(w, f.type);
            w.u32(f.nucOffset);
            w.u32(f.nucLength);
            w.u32(f.ucOffset);
            w.u32(f.ucLength);
            w.text(f.text);
        }
    }
}

std::vector<TypeDescription> readTypes(WireReader& r)
{
    std::vector<TypeDescription> types(r.count(20));
    for (TypeDescription& t : types) {
        t.name = r.text();
        t.text = r.text();
        t.nucLength = r.u32();
        t.ucLength = r.u32();
        t.fields.resize(r.count(40));
        for (FieldDescription& f : t.fields) {
            f.name = r.text();
            f.type = readType(r);
            f.nucOffset = r.u32();
            f.nucLength = r.u32();
            f.ucOffset = r.u32();
            f.ucLength = r.u32();
            f.text = r.text();
        }
    }
    return types;
}

Direction direction(uint8_t d)
{
    switch (static_cast<Direction>(d)) {
    case Direction::Importing:
    case Direction::Exporting:
    case Direction::Changing:
    case Direction::Tables: return static_cast<Direction>(d);
    }
    throw WireError("unknown parameter direction");
}

} // namespace

void write(WireWriter& w, const FunctionDescription& d)
{
    w.text(d.name);
    w.text(d.text);
    w.u32(static_cast<uint32_t>(d.parameters.size()));
    for (const ParameterDescription& p : d.parameters) {
        w.text(p.name);
        w.u8(static_cast<uint8_t>(p.direction));
        writeType(w, p.type);
        w.u32(p.nucLength);
        w.u32(p.ucLength);
        w.boolean(p.optional);
        w.text(p.defaultValue);
        w.text(p.text);
    }
    w.u32(static_cast<uint32_t>(d.exceptions.size()));
    for (const ExceptionDescription& e : d.exceptions) {
        w.text(e.name);
        w.text(e.text);
    }
    writeTypes(w, d.types);
}

void write(WireWriter& w, const TypeDescriptions& d)
{
    writeTypes(w, d.types);
}

FunctionDescription readFunctionDescription(WireReader& r)
{
    FunctionDescription d;
    d.name = r.text();
    d.text = r.text();
    d.parameters.resize(r.count(40));
    for (ParameterDescription& p : d.parameters) {
        p.name = r.text();
        p.direction = direction(r.u8());
        p.type = readType(r);
        p.nucLength = r.u32();
        p.ucLength = r.u32();
        p.optional = r.boolean();
        p.defaultValue = r.text();
        p.text = r.text();
    }
    d.exceptions.resize(r.count(8));
    for (ExceptionDescription& e : d.exceptions) {
        e.name = r.text();
        e.text = r.text();
    }
    d.types = readTypes(r);
    return d;
}

TypeDescriptions readTypeDescriptions(WireReader& r)
{
    return {readTypes(r)};
}

} // namespace simwire
