#include "server/Lifecycle.h"

#include <stdexcept>

namespace sapsim {

void Lifecycle::requestStop()
{
    std::vector<std::function<void()>> handlers;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        m_stopping = true;
        handlers.swap(m_handlers);
    }
    m_changed.notify_all();
    for (auto& handler : handlers)
        handler();
}

bool Lifecycle::stopping() const
{
    std::lock_guard lock(m_mutex);
    return m_stopping;
}

void Lifecycle::onStop(std::function<void()> handler)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_stopping) {
            m_handlers.push_back(std::move(handler));
            return;
        }
    }
    handler(); // registered after the stop: it still has to run
}

bool Lifecycle::waitFor(std::chrono::milliseconds duration)
{
    std::unique_lock lock(m_mutex);
    ++m_waiting;
    const bool stopped = m_changed.wait_for(lock, duration, [this] { return m_stopping; });
    --m_waiting;
    return !stopped;
}

size_t Lifecycle::waiting() const
{
    std::lock_guard lock(m_mutex);
    return m_waiting;
}

std::optional<int> Lifecycle::meet(const std::string& key, int parties, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    if (m_meetings.size() >= maxMeetings && m_meetings.count(key) == 0)
        throw std::runtime_error("too many rendezvous keys");
    Meeting& meeting = m_meetings[key];
    if (meeting.arrived == 0)
        meeting.parties = parties;
    const int position = ++meeting.arrived;
    const auto generation = meeting.generation;
    if (meeting.arrived >= meeting.parties) {
        meeting.arrived = 0;
        ++meeting.generation;
        m_changed.notify_all();
        return position;
    }
    ++m_waiting;
    const bool met = m_changed.wait_for(lock, timeout, [&] { return m_stopping || meeting.generation != generation; });
    --m_waiting;
    if (met && meeting.generation != generation)
        return position;
    --meeting.arrived;
    return std::nullopt;
}

} // namespace sapsim
