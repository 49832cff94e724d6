#include "server/SessionStore.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace sapsim {

std::pair<std::string, std::shared_ptr<SessionContext>> SessionStore::open(const std::string& client, const std::string& user)
{
    std::lock_guard lock(m_mutex);
    const auto now = std::chrono::steady_clock::now();
    expire(now);
    if (m_sessions.size() >= m_limits.maxSessions) {
        const auto oldest = std::min_element(m_sessions.begin(), m_sessions.end(), [](const auto& a, const auto& b) {
            return a.second.useOrder < b.second.useOrder;
        });
        m_sessions.erase(oldest);
    }
    const std::string id = newId();
    auto context = std::make_shared<SessionContext>(client, user);
    m_sessions[id] = {context, now, ++m_uses};
    return {id, context};
}

std::shared_ptr<SessionContext> SessionStore::find(const std::string& id, const std::string& client, const std::string& user)
{
    std::lock_guard lock(m_mutex);
    const auto now = std::chrono::steady_clock::now();
    expire(now);
    const auto it = m_sessions.find(id);
    if (it == m_sessions.end() || it->second.context->client() != client || it->second.context->user() != user)
        return nullptr;
    it->second.lastUse = now;
    it->second.useOrder = ++m_uses;
    return it->second.context;
}

void SessionStore::close(const std::string& id)
{
    std::lock_guard lock(m_mutex);
    m_sessions.erase(id);
}

size_t SessionStore::size() const
{
    std::lock_guard lock(m_mutex);
    return m_sessions.size();
}

void SessionStore::expire(std::chrono::steady_clock::time_point now)
{
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        if (now - it->second.lastUse > m_limits.idleTimeout)
            it = m_sessions.erase(it);
        else
            ++it;
    }
}

// A random salt keeps the ids of different server runs apart; the running number keeps them unique.
std::string SessionStore::newId()
{
    if (m_salt.empty()) {
        std::random_device device;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%08X%08X", device(), device());
        m_salt = buf;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%016llX", m_salt.c_str(), ++m_counter);
    return buf;
}

} // namespace sapsim
