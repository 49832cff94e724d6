#include "modules/ReadTableModule.h"

#include "dictionary/ScalarCodec.h"
#include "modules/WhereClause.h"
#include "repo/Repository.h"
#include "rfc/ModuleRegistry.h"
#include "rfc/Record.h"
#include "rfc/RfcError.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace sapsim {
namespace {

struct Column {
    size_t index;
    int offset;
    int width;
};

std::string upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::vector<Column> selectColumns(FunctionCall& call, const DbTable& table, const std::string& delimiter)
{
    const Structure& s = *table.structure;
    const Structure& fieldRow = *call.parameter("FIELDS").type.structure;
    std::vector<size_t> wanted;
    for (Value& row : call.rows("FIELDS")) {
        const std::string name = upper(Record(fieldRow, row).get("FIELDNAME"));
        if (name.empty())
            continue;
        const int i = s.indexOf(name);
        if (i < 0)
            throw AbapException("FIELD_NOT_VALID", "Table " + table.name + " has no field " + name);
        wanted.push_back(static_cast<size_t>(i));
    }
    if (wanted.empty())
        for (size_t i = 0; i < s.components.size(); ++i)
            wanted.push_back(i);

    std::vector<Column> columns;
    int offset = 0;
    for (size_t i : wanted) {
        const int width = ScalarCodec::fixedWidth(s.components[i].type.scalar);
        columns.push_back({i, offset, width});
        offset += width + static_cast<int>(delimiter.size());
    }
    const int total = offset - static_cast<int>(delimiter.size());
    if (total > ReadTableModule::rowWidth)
        throw AbapException("DATA_BUFFER_EXCEEDED", "The selected fields need " + std::to_string(total) +
                                                        " characters, more than " + std::to_string(ReadTableModule::rowWidth));
    return columns;
}

void describeColumns(FunctionCall& call, const Structure& s, const std::vector<Column>& columns)
{
    const Structure& fieldRow = *call.parameter("FIELDS").type.structure;
    auto& rows = call.rows("FIELDS");
    rows.clear();
    for (const Column& c : columns) {
        const Component& component = s.components[c.index];
        Record::append(fieldRow, rows)
            .set("FIELDNAME", component.name)
            .set("OFFSET", c.offset)
            .set("LENGTH", c.width)
            .set("TYPE", std::string(1, component.type.scalar.letter))
            .set("FIELDTEXT", component.text);
    }
}

std::string selectionText(FunctionCall& call)
{
    const Structure& optionRow = *call.parameter("OPTIONS").type.structure;
    std::string text;
    for (Value& row : call.rows("OPTIONS")) {
        text += Record(optionRow, row).get("TEXT");
        text += ' ';
    }
    return text;
}

std::string rowText(const Structure& s, const std::vector<std::string>& row, const std::vector<Column>& columns,
                    const std::string& delimiter)
{
    std::string wa;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            wa += delimiter;
        ScalarCodec::appendFixed(wa, s.components[columns[i].index].type.scalar, row[columns[i].index]);
    }
    return wa;
}

void readTable(FunctionCall& call, CallEnvironment& env)
{
    const std::string name = upper(call.scalar("QUERY_TABLE"));
    const DbTable* table = env.repository.table(name);
    if (table == nullptr)
        throw AbapException("TABLE_NOT_AVAILABLE", "Table " + name + " is not available");
    const std::string delimiter = call.scalar("DELIMITER");
    const auto columns = selectColumns(call, *table, delimiter);

    std::optional<WhereClause> where;
    try {
        where.emplace(selectionText(call), *table->structure);
    } catch (const WhereError& e) {
        throw AbapException("OPTION_NOT_VALID", e.what());
    }
    describeColumns(call, *table->structure, columns);

    const Structure& dataRow = *call.parameter("DATA").type.structure;
    auto& data = call.rows("DATA");
    data.clear();
    if (!call.scalar("NO_DATA").empty())
        return;
    int64_t skip = std::max<int64_t>(0, call.integer("ROWSKIPS"));
    const int64_t limit = call.integer("ROWCOUNT");
    for (const auto& row : table->rows) {
        if ((table->clientDependent && row.front() != env.logon.client) || !where->matches(row))
            continue;
        if (skip > 0) {
            --skip;
            continue;
        }
        Record::append(dataRow, data).set("WA", rowText(*table->structure, row, columns, delimiter));
        if (limit > 0 && static_cast<int64_t>(data.size()) >= limit)
            break;
    }
}

} // namespace

void ReadTableModule::registerAll(ModuleRegistry& registry)
{
    registry.add("RFC_READ_TABLE", readTable);
}

} // namespace sapsim
