#include "gateway/ValueBridge.h"

#include "dictionary/ScalarCodec.h"
#include "rfc/RfcError.h"

namespace sapsim {
namespace {

using simwire::WireValue;

[[noreturn]] void conversion(const std::string& path, const std::string& why)
{
    throw SystemFailure(SystemFailure::conversionError, path + ": " + why);
}

std::string scalarFrom(const WireValue& wire, const ScalarType& type, const std::string& path)
{
    const bool binary = type.letter == 'X' || type.letter == 'y';
    if (wire.kind == WireValue::Kind::Bytes) {
        if (!binary)
            conversion(path, "bytes for a field of type " + std::string(1, type.letter));
        std::string bytes = wire.scalar;
        if (type.letter == 'X')
            bytes.resize(static_cast<size_t>(type.length), '\0');
        return bytes;
    }
    if (wire.kind != WireValue::Kind::Text)
        conversion(path, "a scalar expected");
    try {
        return ScalarCodec::fromText(type, wire.scalar, ScalarCodec::Binary::Hex);
    } catch (const ConversionError& e) {
        conversion(path, e.what());
    }
}

Value structureFrom(const WireValue& wire, const Structure& s, const std::string& path)
{
    if (wire.kind != WireValue::Kind::Structure)
        conversion(path, "a structure expected");
    Value v = initialValue(DataType{TypeKind::Structure, {}, &s, s.name});
    for (const auto& [name, field] : wire.fields) {
        const int i = s.indexOf(name);
        if (i < 0)
            throw SystemFailure(SystemFailure::parameterUnknown, path + ": structure " + s.name + " has no field " + name);
        v.items[static_cast<size_t>(i)] = ValueBridge::toValue(field, s.components[static_cast<size_t>(i)].type, path + "-" + name);
    }
    return v;
}

Value tableFrom(const WireValue& wire, const Structure& row, const std::string& path)
{
    if (wire.kind != WireValue::Kind::Table)
        conversion(path, "a table expected");
    std::vector<int> columns;
    for (const std::string& c : wire.columns) {
        columns.push_back(row.indexOf(c));
        if (columns.back() < 0)
            throw SystemFailure(SystemFailure::parameterUnknown, path + ": structure " + row.name + " has no field " + c);
    }
    Value v;
    v.items.reserve(wire.rows.size());
    const Value empty = initialValue(DataType{TypeKind::Structure, {}, &row, row.name});
    for (size_t r = 0; r < wire.rows.size(); ++r) {
        v.items.push_back(empty);
        for (size_t c = 0; c < columns.size(); ++c) {
            const auto index = static_cast<size_t>(columns[c]);
            v.items.back().items[index] =
                ValueBridge::toValue(wire.rows[r][c], row.components[index].type, path + "[" + std::to_string(r + 1) + "]");
        }
    }
    return v;
}

} // namespace

Value ValueBridge::toValue(const WireValue& wire, const DataType& type, const std::string& path)
{
    switch (type.kind) {
    case TypeKind::Scalar: return Value{scalarFrom(wire, type.scalar, path), {}};
    case TypeKind::Structure: return structureFrom(wire, *type.structure, path);
    case TypeKind::Table: return tableFrom(wire, *type.structure, path);
    }
    return {};
}

WireValue ValueBridge::toWire(const Value& value, const DataType& type)
{
    switch (type.kind) {
    case TypeKind::Scalar:
        if (type.scalar.letter == 'X' || type.scalar.letter == 'y')
            return WireValue::bytes(value.scalar);
        return WireValue::text(value.scalar);
    case TypeKind::Structure: {
        WireValue out = WireValue::structure();
        const auto& components = type.structure->components;
        for (size_t i = 0; i < components.size(); ++i)
            out.fields.emplace_back(components[i].name, toWire(value.items[i], components[i].type));
        return out;
    }
    case TypeKind::Table: {
        const auto& components = type.structure->components;
        std::vector<std::string> names;
        for (const Component& c : components)
            names.push_back(c.name);
        WireValue out = WireValue::table(std::move(names));
        out.rows.reserve(value.items.size());
        for (const Value& row : value.items) {
            std::vector<WireValue> cells;
            cells.reserve(components.size());
            for (size_t i = 0; i < components.size(); ++i)
                cells.push_back(toWire(row.items[i], components[i].type));
            out.rows.push_back(std::move(cells));
        }
        return out;
    }
    }
    return {};
}

void ValueBridge::readInputs(FunctionCall& call, const simwire::NamedValues& inputs)
{
    const FunctionDef& def = call.def();
    std::vector<bool> seen(def.parameters.size(), false);
    for (const auto& [name, wire] : inputs) {
        const int i = def.indexOf(name);
        if (i < 0)
            throw SystemFailure(SystemFailure::parameterUnknown, def.name + " has no parameter " + name);
        const auto index = static_cast<size_t>(i);
        const Parameter& p = def.parameters[index];
        if (!p.input())
            continue;
        call.value(index) = toValue(wire, p.type, p.name);
        call.markSupplied(index);
        seen[index] = true;
    }
    for (size_t i = 0; i < def.parameters.size(); ++i) {
        const Parameter& p = def.parameters[i];
        if (!seen[i] && p.input() && !p.defaultValue.empty())
            call.value(i).scalar = ScalarCodec::fromText(p.type.scalar, p.defaultValue, ScalarCodec::Binary::Hex);
    }
}

simwire::NamedValues ValueBridge::outputs(const FunctionCall& call, bool tablesOnly, const std::set<std::string>& inactive)
{
    simwire::NamedValues out;
    const FunctionDef& def = call.def();
    for (ParamClass cls : {ParamClass::Exporting, ParamClass::Changing, ParamClass::Tables}) {
        if (tablesOnly && cls != ParamClass::Tables)
            continue;
        for (size_t i = 0; i < def.parameters.size(); ++i) {
            const Parameter& p = def.parameters[i];
            if (p.paramClass == cls && inactive.count(p.name) == 0)
                out.emplace_back(p.name, toWire(call.value(i), p.type));
        }
    }
    return out;
}

} // namespace sapsim
