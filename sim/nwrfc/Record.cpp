#include "Record.h"

#include "Table.h"

namespace nwrfc {

using simwire::WireValue;

Record::Record(std::shared_ptr<FunctionDesc> function) : m_function(std::move(function))
{
    m_function->freeze();
    m_slots.resize(m_function->parameters().size());
    for (size_t i = 0; i < m_slots.size(); ++i)
        build(FieldType::of(m_function->parameters()[i]), m_slots[i]);
}

Record::Record(std::shared_ptr<TypeDesc> type) : m_type(std::move(type))
{
    m_type->freeze();
    m_slots.resize(m_type->fields().size());
    for (size_t i = 0; i < m_slots.size(); ++i)
        build(FieldType::of(m_type->fields()[i]), m_slots[i]);
}

Record::~Record() = default;

Record& Record::function(RFC_FUNCTION_HANDLE handle)
{
    Record& r = resolve<Record>(handle, HandleKind::Data, "function");
    if (!r.isFunction())
        invalidHandle("the handle is a structure, not a function");
    return r;
}

void Record::build(const FieldType& type, Slot& slot)
{
    slot.type = type;
    if (type.type == RFCTYPE_STRUCTURE)
        slot.structure = std::make_unique<Record>(type.rowType);
    else if (type.type == RFCTYPE_TABLE)
        slot.table = std::make_unique<Table>(type.rowType);
    else
        slot.scalar = ScalarConversion::initial(type);
}

Uview Record::nameAt(size_t index) const
{
    return m_function ? view(m_function->parameters()[index].name) : view(m_type->fields()[index].name);
}

RFC_DIRECTION Record::directionAt(size_t index) const
{
    return m_function ? m_function->parameters()[index].direction : RFC_IMPORT;
}

Slot& Record::slot(Uview name)
{
    const int i = m_function ? m_function->indexOf(name) : m_type->indexOf(name);
    if (i < 0)
        throw ApiFailure(RFC_INVALID_PARAMETER, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_PARAMETER",
                         (m_function ? "function " + toUtf8(m_function->name()) + " has no parameter "
                                     : "type " + toUtf8(m_type->name()) + " has no field ") + toUtf8(name));
    return m_slots[static_cast<size_t>(i)];
}

WireValue Record::slotToWire(const Slot& slot) const
{
    if (slot.structure)
        return slot.structure->toWire();
    if (slot.table)
        return slot.table->toWire();
    return ScalarConversion::toWire(slot.scalar, slot.type);
}

void Record::slotFromWire(Slot& slot, const WireValue& wire, Uview name)
{
    try {
        if (slot.structure)
            slot.structure->fromWire(wire);
        else if (slot.table)
            slot.table->fromWire(wire);
        else
            ScalarConversion::fromWire(slot.scalar, slot.type, wire);
    } catch (const ApiFailure& f) {
        throw ApiFailure(f.code(), f.group(), f.key(), toUtf8(name) + ": " + f.what());
    }
}

WireValue Record::toWire() const
{
    WireValue out = WireValue::structure();
    out.fields.reserve(m_slots.size());
    for (size_t i = 0; i < m_slots.size(); ++i)
        out.fields.emplace_back(toUtf8(nameAt(i)), slotToWire(m_slots[i]));
    return out;
}

void Record::fromWire(const WireValue& wire)
{
    if (wire.kind != WireValue::Kind::Structure)
        conversionFailure("a structure expected");
    for (const auto& [name, value] : wire.fields) {
        const Ustring wide = fromUtf8(name);
        const int i = m_function ? m_function->indexOf(wide) : m_type->indexOf(wide);
        if (i >= 0)
            slotFromWire(m_slots[static_cast<size_t>(i)], value, wide);
    }
}

simwire::NamedValues Record::inputs() const
{
    simwire::NamedValues out;
    for (size_t i = 0; i < m_slots.size(); ++i) {
        const Slot& s = m_slots[i];
        if (directionAt(i) != RFC_EXPORT && s.active && s.touched)
            out.emplace_back(toUtf8(nameAt(i)), slotToWire(s));
    }
    return out;
}

std::vector<std::string> Record::inactiveNames() const
{
    std::vector<std::string> out;
    for (size_t i = 0; i < m_slots.size(); ++i)
        if (!m_slots[i].active)
            out.push_back(toUtf8(nameAt(i)));
    return out;
}

simwire::NamedValues Record::outputs(bool tablesOnly) const
{
    simwire::NamedValues out;
    for (size_t i = 0; i < m_slots.size(); ++i) {
        const RFC_DIRECTION d = directionAt(i);
        if (d == RFC_IMPORT || (tablesOnly && d != RFC_TABLES) || !m_slots[i].active)
            continue;
        out.emplace_back(toUtf8(nameAt(i)), slotToWire(m_slots[i]));
    }
    return out;
}

void Record::apply(const simwire::NamedValues& values)
{
    for (const auto& [name, value] : values) {
        const Ustring wide = fromUtf8(name);
        const int i = m_function ? m_function->indexOf(wide) : m_type->indexOf(wide);
        if (i >= 0)
            slotFromWire(m_slots[static_cast<size_t>(i)], value, wide);
    }
}

} // namespace nwrfc
