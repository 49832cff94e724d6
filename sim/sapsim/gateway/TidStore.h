#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>

namespace sapsim {

// Transaction IDs of transactional RFC: a unit submitted under a TID runs once however often it
// is submitted, until the client confirms the TID, which forgets it. Submits of the same TID
// wait for each other; different TIDs run side by side.
class TidStore {
public:
    // 24 upper-case hexadecimal digits, unique within the process.
    std::string newTid();
    // Runs `unit` unless the TID has run; true when it ran now. A unit that throws leaves the
    // TID unused, so that a later submit runs it again.
    bool runOnce(const std::string& tid, const std::function<void()>& unit);
    void confirm(const std::string& tid);
    bool executed(const std::string& tid) const;

    // Executed TIDs kept at most; beyond it the oldest are forgotten.
    static constexpr size_t maxExecuted = 100000;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<std::string> m_running;
    std::set<std::string> m_executed;
    std::deque<std::string> m_order;
    uint64_t m_counter = 0;
    uint64_t m_salt = 0;
};

} // namespace sapsim
