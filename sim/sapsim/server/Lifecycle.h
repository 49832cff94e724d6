#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace sapsim {

// The server's stop signal, and every wait that a stop has to cut short: the waiting modules and
// the rendezvous of concurrent callers.
class Lifecycle {
public:
    // Idempotent; runs the stop handlers once, outside the lock.
    void requestStop();
    bool stopping() const;
    // A handler registered after the stop runs at once.
    void onStop(std::function<void()> handler);

    // Waits for the duration; false when the server began to stop first.
    bool waitFor(std::chrono::milliseconds duration);

    // Waits until `parties` callers have met under `key`; gives the caller's arrival position
    // (1 = first), or nothing when the time ran out or the server stops.
    std::optional<int> meet(const std::string& key, int parties, std::chrono::milliseconds timeout);

    // How many callers are in waitFor() or meet() now (tests wait for a module to be waiting).
    size_t waiting() const;

    static constexpr size_t maxMeetings = 1000;

private:
    struct Meeting {
        int parties = 0;
        int arrived = 0;
        unsigned long long generation = 0;
    };

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stopping = false;
    size_t m_waiting = 0;
    std::vector<std::function<void()>> m_handlers;
    std::map<std::string, Meeting> m_meetings;
};

} // namespace sapsim
