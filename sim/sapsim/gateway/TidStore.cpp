#include "gateway/TidStore.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace sapsim {

std::string TidStore::newTid()
{
    std::lock_guard lock(m_mutex);
    if (m_salt == 0) {
        std::random_device device;
        m_salt = (static_cast<uint64_t>(device()) << 32 | device()) | 1;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%08llX%016llX", static_cast<unsigned long long>(m_salt >> 32),
                  static_cast<unsigned long long>(++m_counter ^ (m_salt << 20)));
    return buf;
}

bool TidStore::runOnce(const std::string& tid, const std::function<void()>& unit)
{
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_running.count(tid) == 0; });
        if (m_executed.count(tid) != 0)
            return false;
        m_running.insert(tid);
    }
    try {
        unit();
    } catch (...) {
        std::lock_guard lock(m_mutex);
        m_running.erase(tid);
        m_changed.notify_all();
        throw;
    }
    std::lock_guard lock(m_mutex);
    m_running.erase(tid);
    m_executed.insert(tid);
    m_order.push_back(tid);
    while (m_order.size() > maxExecuted) {
        m_executed.erase(m_order.front());
        m_order.pop_front();
    }
    m_changed.notify_all();
    return true;
}

void TidStore::confirm(const std::string& tid)
{
    std::lock_guard lock(m_mutex);
    if (m_executed.erase(tid) != 0)
        m_order.erase(std::find(m_order.begin(), m_order.end(), tid));
}

bool TidStore::executed(const std::string& tid) const
{
    std::lock_guard lock(m_mutex);
    return m_executed.count(tid) != 0;
}

} // namespace sapsim
