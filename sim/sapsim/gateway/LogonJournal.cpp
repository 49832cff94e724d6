#include "gateway/LogonJournal.h"

namespace sapsim {

void LogonJournal::record(Entry entry)
{
    std::lock_guard lock(m_mutex);
    m_entries.push_back(std::move(entry));
    if (m_entries.size() > capacity)
        m_entries.pop_front();
}

std::deque<LogonJournal::Entry> LogonJournal::entries() const
{
    std::lock_guard lock(m_mutex);
    return m_entries;
}

} // namespace sapsim
