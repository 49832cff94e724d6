#include "TableCodec.h"

#include "ApiFailure.h"
#include "FieldCodec.h"

namespace classicrfc {
namespace {

using simwire::WireValue;

bool carried(const FieldLayout& f)
{
    return f.letter != 'h' && f.letter != 'a' && f.letter != 'e';
}

std::string columnName(const FieldLayout& f)
{
    return f.name.empty() ? std::string("LINE") : f.name;
}

// The layout field each of the value's columns goes to (null: none).
std::vector<const FieldLayout*> targets(const RowLayout& layout, const WireValue& value)
{
    std::vector<const FieldLayout*> out;
    const bool scalarRow = layout.fields.size() == 1 && layout.fields[0].name.empty();
    for (const std::string& column : value.columns)
        out.push_back(scalarRow && value.columns.size() == 1 ? &layout.fields[0] : layout.field(column));
    return out;
}

} // namespace

WireValue TableCodec::read(const InternalTable* table, const RowLayout& layout)
{
    std::vector<std::string> columns;
    std::vector<const FieldLayout*> fields;
    for (const FieldLayout& f : layout.fields)
        if (carried(f)) {
            columns.push_back(columnName(f));
            fields.push_back(&f);
        }
    WireValue out = WireValue::table(std::move(columns));
    if (table == nullptr)
        return out;
    if (table->rowLength() < layout.length)
        invalidParameter("table rows of " + std::to_string(table->rowLength()) + " bytes are shorter than " + layout.name + " (" +
                         std::to_string(layout.length) + " bytes)");
    out.rows.reserve(table->size());
    for (unsigned line = 1; line <= table->size(); ++line) {
        const uint8_t* row = table->row(line);
        std::vector<WireValue> cells;
        cells.reserve(fields.size());
        for (const FieldLayout* f : fields)
            cells.push_back(*FieldCodec::read(row, *f));
        out.rows.push_back(std::move(cells));
    }
    return out;
}

void TableCodec::write(InternalTable& table, const RowLayout& layout, const WireValue& value)
{
    if (value.kind != WireValue::Kind::Table)
        conversionFailure("table of " + layout.name + ": a single value or structure where a table belongs");
    if (table.rowLength() < layout.length)
        invalidParameter("table rows of " + std::to_string(table.rowLength()) + " bytes are shorter than " + layout.name + " (" +
                         std::to_string(layout.length) + " bytes)");
    const auto fields = targets(layout, value);
    table.clear();
    for (const auto& cells : value.rows) {
        uint8_t* row = table.append();
        FieldCodec::initialise(row, layout);
        for (size_t c = 0; c < cells.size() && c < fields.size(); ++c)
            if (fields[c] != nullptr)
                FieldCodec::write(row, *fields[c], cells[c]);
    }
}

} // namespace classicrfc
