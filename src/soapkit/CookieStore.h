#pragma once
// The cookies a transport sends: those a client adds (a logon ticket) and those servers set
// (a server session kept across requests). Shared by the transport and its CookieJar object,
// and safe to use from several threads.
#include <windows.h>

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace soapkit {

struct Cookie {
    std::string name;
    std::string value;
    std::string domain;    // lower case, without a leading dot
    std::string path = "/";
    bool host_only = false; // the domain's subdomains do not get it
    bool secure = false;    // https only
    std::optional<ULONGLONG> expires; // FILETIME ticks; a session cookie has none
};

// Where a request goes, as cookies see it.
struct CookieTarget {
    std::string host; // lower case
    std::string path; // without the query
    bool secure = false;
};

class CookieStore {
public:
    // Adds the cookie, replacing one with the same name, domain and path.
    void add(Cookie cookie);
    // Takes in one Set-Cookie header of a response to `target`; a cookie that has expired
    // removes the one it names. Cookies for a domain the target is not in are ignored.
    void accept(std::string_view set_cookie, const CookieTarget& target);
    // The value of the Cookie header for a request to `target` (empty: send none). Cookies with
    // longer paths come first.
    std::string header_for(const CookieTarget& target) const;
    size_t count() const;
    void remove_all();

private:
    mutable std::mutex mutex_;
    std::vector<Cookie> cookies_;
};

// The directory part of a request path, the path a cookie gets when it names none.
std::string default_cookie_path(std::string_view request_path);
bool domain_matches(const Cookie& cookie, std::string_view host);
bool path_matches(std::string_view cookie_path, std::string_view request_path);

} // namespace soapkit
