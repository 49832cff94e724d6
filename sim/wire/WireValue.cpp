#include "WireValue.h"

namespace simwire {

const WireValue* WireValue::field(const std::string& name) const
{
    for (const auto& [n, v] : fields)
        if (n == name)
            return &v;
    return nullptr;
}

void writeValue(WireWriter& w, const WireValue& v)
{
    w.u8(static_cast<uint8_t>(v.kind));
    switch (v.kind) {
    case WireValue::Kind::Text:
    case WireValue::Kind::Bytes:
        w.text(v.scalar);
        return;
    case WireValue::Kind::Structure:
        writeNamedValues(w, v.fields);
        return;
    case WireValue::Kind::Table:
        w.u32(static_cast<uint32_t>(v.columns.size()));
        for (const std::string& c : v.columns)
            w.text(c);
        w.u32(static_cast<uint32_t>(v.rows.size()));
        for (const auto& row : v.rows)
            for (const WireValue& cell : row)
                writeValue(w, cell);
        return;
    }
}

WireValue readValue(WireReader& r, int depth)
{
    if (depth > maxValueDepth)
        throw WireError("values nested too deep");
    WireValue v;
    const uint8_t kind = r.u8();
    switch (static_cast<WireValue::Kind>(kind)) {
    case WireValue::Kind::Text:
    case WireValue::Kind::Bytes:
        v.kind = static_cast<WireValue::Kind>(kind);
        v.scalar = r.text();
        return v;
    case WireValue::Kind::Structure: {
        v.kind = WireValue::Kind::Structure;
        const uint32_t n = r.count(6);
        v.fields.reserve(n);
        for (uint32_t i = 0; i < n; ++i) {
            std::string name = r.text();
            v.fields.emplace_back(std::move(name), readValue(r, depth + 1));
        }
        return v;
    }
    case WireValue::Kind::Table: {
        v.kind = WireValue::Kind::Table;
        const uint32_t columns = r.count(4);
        for (uint32_t i = 0; i < columns; ++i)
            v.columns.push_back(r.text());
        // Each cell takes at least 5 bytes, so an empty column list allows no rows.
        const uint32_t rows = r.count(columns == 0 ? 0 : 5 * static_cast<size_t>(columns));
        if (columns == 0 && rows != 0)
            throw WireError("table rows without columns");
        v.rows.resize(rows);
        for (auto& row : v.rows) {
            row.reserve(columns);
            for (uint32_t c = 0; c < columns; ++c)
                row.push_back(readValue(r, depth + 1));
        }
        return v;
    }
    }
    throw WireError("unknown value kind " + std::to_string(kind));
}

void writeNamedValues(WireWriter& w, const NamedValues& values)
{
    w.u32(static_cast<uint32_t>(values.size()));
    for (const auto& [name, value] : values) {
        w.text(name);
        writeValue(w, value);
    }
}

NamedValues readNamedValues(WireReader& r)
{
    const uint32_t n = r.count(9);
    NamedValues values;
    values.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        std::string name = r.text();
        values.emplace_back(std::move(name), readValue(r));
    }
    return values;
}

} // namespace simwire
