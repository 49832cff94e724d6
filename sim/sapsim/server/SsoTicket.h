#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace sapsim {

// Logon tickets for the MYSAPSSO2 cookie: client, user and validity, signed with a key that
// lives as long as the process, so only tickets of this server run are accepted.
class SsoTicket {
public:
    struct Holder {
        std::string client;
        std::string user;
    };

    SsoTicket();

    std::string issue(const std::string& client, const std::string& user) const;
    // The holder of a genuine ticket that has not expired; the cookie text may be URL-encoded.
    std::optional<Holder> verify(const std::string& ticket) const;

    static constexpr std::chrono::hours validity{12};

private:
    std::string sign(const std::string& payload) const;

    std::string m_key;
};

} // namespace sapsim
