#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace classicrfc {

// An internal table: rows of raw bytes of one length, numbered from 1. Each row has memory of
// its own, so the address of a row stays valid while other rows are added or removed.
class InternalTable {
public:
    InternalTable(std::wstring name, unsigned rowLength, unsigned initialRows);

    unsigned rowLength() const { return m_rowLength; }
    unsigned size() const { return static_cast<unsigned>(m_rows.size()); }
    const std::wstring& name() const { return m_name; }

    // A new zeroed row at the end, or before `line` (1..size()+1); null when out of range.
    uint8_t* append();
    uint8_t* insert(unsigned line);
    // The row, or null when there is no such row.
    uint8_t* row(unsigned line);
    const uint8_t* row(unsigned line) const;
    bool remove(unsigned line);
    void clear() { m_rows.clear(); }

private:
    std::unique_ptr<uint8_t[]> newRow() const;

    std::wstring m_name;
    unsigned m_rowLength;
    std::vector<std::unique_ptr<uint8_t[]>> m_rows;
};

} // namespace classicrfc
