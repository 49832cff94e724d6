#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace sapsim {

// The state of one server session (a user context on the SAP side). Requests of the same
// session run one after the other: the request handler holds `mutex` while the module runs.
class SessionContext {
public:
    SessionContext(std::string client, std::string user) : m_client(std::move(client)), m_user(std::move(user)) {}

    const std::string& client() const { return m_client; }
    const std::string& user() const { return m_user; }
    std::mutex& mutex() { return m_mutex; }
    // Counts calls under a name; the first call gets 1.
    int64_t next(const std::string& counter) { return ++m_counters[counter]; }

private:
    std::string m_client;
    std::string m_user;
    std::mutex m_mutex;
    std::map<std::string, int64_t> m_counters;
};

// Server sessions by context id. Each belongs to the client and user that opened it; idle
// sessions expire and the number of sessions is bounded (the least recently used goes first).
class SessionStore {
public:
    struct Limits {
        size_t maxSessions = 1000;
        std::chrono::minutes idleTimeout{30};
    };

    explicit SessionStore(Limits limits) : m_limits(limits) {}

    // A new session and its id.
    std::pair<std::string, std::shared_ptr<SessionContext>> open(const std::string& client, const std::string& user);
    // The session with that id if it belongs to the same client and user.
    std::shared_ptr<SessionContext> find(const std::string& id, const std::string& client, const std::string& user);
    void close(const std::string& id);
    size_t size() const;

private:
    struct Entry {
        std::shared_ptr<SessionContext> context;
        std::chrono::steady_clock::time_point lastUse; // for expiry
        unsigned long long useOrder = 0;               // for eviction: uses within one clock tick stay ordered
    };

    void expire(std::chrono::steady_clock::time_point now);
    std::string newId();

    Limits m_limits;
    mutable std::mutex m_mutex;
    std::map<std::string, Entry> m_sessions;
    unsigned long long m_counter = 0;
    unsigned long long m_uses = 0;
    std::string m_salt;
};

} // namespace sapsim
