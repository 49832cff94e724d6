#include "InternalTable.h"

namespace classicrfc {

InternalTable::InternalTable(std::wstring name, unsigned rowLength, unsigned initialRows)
    : m_name(std::move(name)), m_rowLength(rowLength)
{
    // The initial size is a hint; a large one must not cost memory up front.
    m_rows.reserve(std::min(initialRows, 100000u));
}

std::unique_ptr<uint8_t[]> InternalTable::newRow() const
{
    return std::make_unique<uint8_t[]>(m_rowLength); // value-initialised: zero bytes
}

uint8_t* InternalTable::append()
{
    m_rows.push_back(newRow());
    return m_rows.back().get();
}

uint8_t* InternalTable::insert(unsigned line)
{
    if (line == 0 || line > size() + 1)
        return nullptr;
    auto it = m_rows.insert(m_rows.begin() + (line - 1), newRow());
    return it->get();
}

uint8_t* InternalTable::row(unsigned line)
{
    return line == 0 || line > size() ? nullptr : m_rows[line - 1].get();
}

const uint8_t* InternalTable::row(unsigned line) const
{
    return line == 0 || line > size() ? nullptr : m_rows[line - 1].get();
}

bool InternalTable::remove(unsigned line)
{
    if (line == 0 || line > size())
        return false;
    m_rows.erase(m_rows.begin() + (line - 1));
    return true;
}

} // namespace classicrfc
