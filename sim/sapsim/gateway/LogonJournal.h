#pragma once

#include "WireMessages.h"

#include <deque>
#include <mutex>
#include <string>

namespace sapsim {

// The last logons and registrations at the gateway, refused ones included, with the parameters
// the partner's library received (secrets masked), for tests that check what a client sent.
class LogonJournal {
public:
    struct Entry {
        unsigned connection = 0;
        std::string kind; // "client" or "server"
        std::string peer;
        bool accepted = false;
        std::string message;
        simwire::ParameterList parameters;
    };

    void record(Entry entry);
    std::deque<Entry> entries() const;

    static constexpr size_t capacity = 100;

private:
    mutable std::mutex m_mutex;
    std::deque<Entry> m_entries;
};

} // namespace sapsim
