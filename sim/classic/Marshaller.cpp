#include "Marshaller.h"

#include "ApiFailure.h"
#include "FieldCodec.h"
#include "LayoutBuilder.h"
#include "MemoryCheck.h"
#include "StructureRegistry.h"
#include "TableCodec.h"
#include "TableRegistry.h"
#include "WideText.h"

namespace classicrfc {
namespace {

using simwire::NamedValues;
using simwire::WireValue;

const WireValue* valueOf(const NamedValues& values, const std::string& name)
{
    for (const auto& [n, v] : values)
        if (n == name)
            return &v;
    return nullptr;
}

void requireLength(const std::string& name, unsigned given, uint32_t needed)
{
    if (given < needed)
        invalidParameter(name + ": a length of " + std::to_string(given) + " bytes does not match the structure's " +
                         std::to_string(needed));
}

InternalTable* tableOf(const TableEntry& entry)
{
    if (entry.raw->ithandle == nullptr)
        return nullptr;
    InternalTable* table = TableRegistry::find(entry.raw->ithandle);
    if (table == nullptr)
        invalidParameter("table " + entry.name + ": invalid internal table handle");
    return table;
}

} // namespace

Marshaller::Layout Marshaller::layoutOf(const ParameterEntry& entry) const
{
    const RFC_PARAMETER& p = *entry.raw;
    const ParameterShape* shape = m_shape ? m_shape->find(entry.name) : nullptr;
    if (shape != nullptr && shape->kind == simwire::TypeKind::Table)
        invalidParameter(entry.name + " is a table parameter: it belongs in the table array");
    if (shape != nullptr && shape->kind == simwire::TypeKind::Structure) {
        requireLength(entry.name, p.leng, shape->row->length);
        return {shape->row, false};
    }
    if (auto installed = StructureRegistry::find(p.type)) {
        requireLength(entry.name, p.leng, installed->length);
        return {std::move(installed), false};
    }
    // Packed digits mean nothing without the decimals: the partner's, when it has them.
    const bool known = shape != nullptr;
    return {LayoutBuilder::scalar(p.type, p.leng, known ? shape->decimals : 0, known), true};
}

std::shared_ptr<const RowLayout> Marshaller::rowLayoutOf(const TableEntry& entry) const
{
    const RFC_TABLE& t = *entry.raw;
    std::shared_ptr<const RowLayout> row = m_shape ? m_shape->layoutOf(entry.name) : nullptr;
    if (row == nullptr)
        row = StructureRegistry::find(t.type);
    if (row == nullptr)
        row = LayoutBuilder::scalar(t.type, t.leng, 0, false);
    requireLength("table " + entry.name, t.leng, row->length);
    return row;
}

void Marshaller::addParameters(RFC_PARAMETER* array, const char* what, NamedValues& values) const
{
    for (const ParameterEntry& entry : ParameterArrays::parameters(array, what)) {
        const Layout layout = layoutOf(entry);
        const auto* buffer = static_cast<const uint8_t*>(entry.raw->addr);
        if (!MemoryCheck::readable(buffer, layout.row->length))
            invalidParameter(entry.name + ": the value's buffer is not readable");
        values.emplace_back(entry.name, layout.scalar ? *FieldCodec::read(buffer, layout.row->fields[0])
                                                      : FieldCodec::readRow(buffer, *layout.row));
    }
}

void Marshaller::addTables(RFC_TABLE* array, NamedValues& values) const
{
    for (const TableEntry& entry : ParameterArrays::tables(array, "table"))
        values.emplace_back(entry.name, TableCodec::read(tableOf(entry), *rowLayoutOf(entry)));
}

void Marshaller::takeParameters(const NamedValues& values, RFC_PARAMETER* array, const char* what) const
{
    for (const ParameterEntry& entry : ParameterArrays::parameters(array, what)) {
        const WireValue* value = valueOf(values, entry.name);
        if (value == nullptr)
            continue;
        const Layout layout = layoutOf(entry);
        auto* buffer = static_cast<uint8_t*>(entry.raw->addr);
        if (!MemoryCheck::writable(buffer, layout.row->length))
            invalidParameter(entry.name + ": the value's buffer is not writable");
        if (layout.scalar)
            FieldCodec::write(buffer, layout.row->fields[0], *value);
        else
            FieldCodec::writeRow(buffer, *layout.row, *value);
    }
}

std::vector<ITAB_H> Marshaller::takeTables(const NamedValues& values, RFC_TABLE* array, bool emptyWhenMissing) const
{
    static const WireValue noRows = WireValue::table({});
    std::vector<ITAB_H> created;
    for (const TableEntry& entry : ParameterArrays::tables(array, "table")) {
        const WireValue* value = valueOf(values, entry.name);
        if (value == nullptr && emptyWhenMissing && entry.raw->ithandle == nullptr)
            value = &noRows;
        if (value == nullptr || entry.raw->itmode == RFC_ITMODE_BYVALUE)
            continue;
        const auto row = rowLayoutOf(entry);
        InternalTable* table = tableOf(entry);
        if (table == nullptr) {
            if (!MemoryCheck::writable(entry.raw, sizeof(RFC_TABLE)))
                invalidParameter("table " + entry.name + ": the table array is not writable");
            auto fresh = std::make_unique<InternalTable>(wide(entry.name), entry.raw->leng, 0);
            table = fresh.get();
            entry.raw->ithandle = TableRegistry::add(std::move(fresh));
            entry.raw->newitab = 1;
            created.push_back(entry.raw->ithandle);
        }
        TableCodec::write(*table, *row, *value);
    }
    return created;
}

} // namespace classicrfc
