#pragma once

#include "gateway/Registration.h"

#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sapsim {

// The server programs registered at the gateway, by program ID. Several connections may share
// an ID; a caller borrows an idle one and gives it back, or removes it when it broke.
class Registrations {
public:
    struct Info {
        unsigned id;
        std::string programId;
        std::string peer;
        bool busy;
    };

    class Lease {
    public:
        Lease(Registrations& owner, std::shared_ptr<Registration> r) : m_owner(owner), m_registration(std::move(r)) {}
        ~Lease();
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        Registration& operator*() const { return *m_registration; }
        Registration* operator->() const { return m_registration.get(); }
        // The connection broke: it leaves the list when the lease ends.
        void discard() { m_broken = true; }

    private:
        Registrations& m_owner;
        std::shared_ptr<Registration> m_registration;
        bool m_broken = false;
    };

    // A new registration starts busy, so that no call reaches it before it is welcomed; false
    // when the list is full or stopped (the connection is closed then).
    bool add(std::shared_ptr<Registration> registration);
    // Ends the busy state that add() or borrow() began; a broken connection leaves the list.
    void release(const std::shared_ptr<Registration>& registration, bool broken);
    // An idle registration of the program, waiting up to `timeout` while all are busy; null
    // when none is registered (or none became idle in time).
    std::unique_ptr<Lease> borrow(const std::string& programId, std::chrono::milliseconds timeout);
    std::vector<Info> list();
    // Closes every connection of the program; the number closed.
    size_t drop(const std::string& programId);
    void stopAll();

    static constexpr size_t maxRegistrations = 256;

private:
    struct Entry {
        std::shared_ptr<Registration> registration;
        bool busy = false;
    };

    void removeDead();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::list<Entry> m_entries;
    bool m_stopped = false;
};

} // namespace sapsim
