#include "gateway/Registrations.h"

namespace sapsim {

Registrations::Lease::~Lease()
{
    m_owner.release(m_registration, m_broken);
}

bool Registrations::add(std::shared_ptr<Registration> registration)
{
    std::lock_guard lock(m_mutex);
    removeDead();
    if (m_stopped || m_entries.size() >= maxRegistrations) {
        registration->abort();
        return false;
    }
    m_entries.push_back({std::move(registration), true});
    return true;
}

std::unique_ptr<Registrations::Lease> Registrations::borrow(const std::string& programId, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        removeDead();
        bool registered = false;
        for (Entry& e : m_entries) {
            if (e.registration->programId() != programId)
                continue;
            registered = true;
            if (!e.busy) {
                e.busy = true;
                return std::make_unique<Lease>(*this, e.registration);
            }
        }
        if (!registered || m_stopped || m_changed.wait_until(lock, deadline) == std::cv_status::timeout)
            return nullptr;
    }
}

std::vector<Registrations::Info> Registrations::list()
{
    std::lock_guard lock(m_mutex);
    removeDead();
    std::vector<Info> out;
    for (const Entry& e : m_entries)
        out.push_back({e.registration->id(), e.registration->programId(), e.registration->peer(), e.busy});
    return out;
}

size_t Registrations::drop(const std::string& programId)
{
    std::lock_guard lock(m_mutex);
    size_t dropped = 0;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->registration->programId() == programId) {
            it->registration->abort();
            it = m_entries.erase(it);
            ++dropped;
        } else {
            ++it;
        }
    }
    return dropped;
}

void Registrations::stopAll()
{
    std::lock_guard lock(m_mutex);
    m_stopped = true;
    for (Entry& e : m_entries)
        e.registration->abort();
    m_entries.clear();
    m_changed.notify_all();
}

void Registrations::release(const std::shared_ptr<Registration>& registration, bool broken)
{
    std::lock_guard lock(m_mutex);
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->registration != registration)
            continue;
        if (broken) {
            registration->abort();
            m_entries.erase(it);
        } else {
            it->busy = false;
        }
        break;
    }
    m_changed.notify_all();
}

// An idle connection with something to read has lost its partner (a server only ever answers).
void Registrations::removeDead()
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (!it->busy && !it->registration->alive()) {
            it->registration->abort();
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace sapsim
