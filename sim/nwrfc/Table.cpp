#include "Table.h"

#include "Record.h"

namespace nwrfc {

using simwire::WireValue;

Table::Table(std::shared_ptr<TypeDesc> rowType) : m_rowType(std::move(rowType))
{
}

Table::~Table() = default;

Record& Table::current()
{
    if (m_cursor == none || m_cursor >= m_rows.size())
        throw ApiFailure(RFC_TABLE_MOVE_EOF, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "RFC_TABLE_MOVE_EOF", "the table has no current row");
    return *m_rows[m_cursor];
}

void Table::moveTo(size_t index)
{
    if (index >= m_rows.size())
        throw ApiFailure(RFC_TABLE_MOVE_EOF, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "RFC_TABLE_MOVE_EOF",
                         "row " + std::to_string(index) + " is beyond the last row");
    m_cursor = index;
}

void Table::moveToFirst()
{
    m_cursor = m_rows.empty() ? none : 0;
}

void Table::moveToNext()
{
    if (m_cursor == none || m_cursor + 1 >= m_rows.size())
        throw ApiFailure(RFC_TABLE_MOVE_EOF, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "RFC_TABLE_MOVE_EOF", "no row after the current one");
    ++m_cursor;
}

void Table::moveToPrevious()
{
    if (m_cursor == none || m_cursor == 0)
        throw ApiFailure(RFC_TABLE_MOVE_BOF, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "RFC_TABLE_MOVE_BOF", "no row before the current one");
    --m_cursor;
}

void Table::moveToLast()
{
    m_cursor = m_rows.empty() ? none : m_rows.size() - 1;
}

void Table::append(size_t count)
{
    if (count == 0)
        return;
    const size_t first = m_rows.size();
    m_rows.reserve(first + count);
    for (size_t i = 0; i < count; ++i)
        m_rows.push_back(std::make_unique<Record>(m_rowType));
    m_cursor = first;
}

Record& Table::appendOne()
{
    append(1);
    return *m_rows.back();
}

void Table::clear()
{
    m_rows.clear();
    m_cursor = none;
}

void Table::deleteCurrent()
{
    current();
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(m_cursor));
    if (m_cursor >= m_rows.size())
        m_cursor = m_rows.empty() ? none : m_rows.size() - 1;
}

WireValue Table::toWire() const
{
    std::vector<std::string> columns;
    for (const RFC_FIELD_DESC& f : m_rowType->fields())
        columns.push_back(toUtf8(view(f.name)));
    WireValue out = WireValue::table(std::move(columns));
    out.rows.reserve(m_rows.size());
    for (const auto& row : m_rows) {
        WireValue fields = row->toWire();
        std::vector<WireValue> cells;
        cells.reserve(fields.fields.size());
        for (auto& [name, value] : fields.fields)
            cells.push_back(std::move(value));
        out.rows.push_back(std::move(cells));
    }
    return out;
}

void Table::fromWire(const WireValue& wire)
{
    if (wire.kind != WireValue::Kind::Table)
        conversionFailure("a table expected");
    clear();
    std::vector<int> columns;
    for (const std::string& c : wire.columns)
        columns.push_back(m_rowType->indexOf(fromUtf8(c)));
    append(wire.rows.size());
    for (size_t r = 0; r < wire.rows.size(); ++r)
        for (size_t c = 0; c < columns.size(); ++c)
            if (columns[c] >= 0)
                m_rows[r]->fromWireAt(static_cast<size_t>(columns[c]), wire.rows[r][c]);
    m_cursor = m_rows.empty() ? none : 0;
}

} // namespace nwrfc
