#include "CookieStore.h"

#include "TextCodec.h"

#include <winhttp.h>

#include <algorithm>
#include <charconv>

namespace soapkit {
namespace {

constexpr ULONGLONG kTicksPerSecond = 10'000'000;

ULONGLONG now_ticks() noexcept
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return ULARGE_INTEGER{{ft.dwLowDateTime, ft.dwHighDateTime}}.QuadPart;
}

std::string_view trim(std::string_view s) noexcept
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::string normal_domain(std::string_view domain)
{
    std::string d = lower_ascii(trim(domain));
    if (!d.empty() && d.front() == '.')
        d.erase(0, 1);
    return d;
}

std::optional<ULONGLONG> http_date_ticks(std::string_view text)
{
    SYSTEMTIME st{};
    FILETIME ft{};
    const std::wstring wide = to_wide(text);
    if (!WinHttpTimeToSystemTime(wide.c_str(), &st) || !SystemTimeToFileTime(&st, &ft))
        return std::nullopt;
    return ULARGE_INTEGER{{ft.dwLowDateTime, ft.dwHighDateTime}}.QuadPart;
}

bool expired(const Cookie& c, ULONGLONG now) noexcept { return c.expires && *c.expires <= now; }

// Applies one "name=value" or flag attribute of a Set-Cookie header.
void apply_attribute(Cookie& cookie, std::string_view attribute, const CookieTarget& target, bool& domain_ok)
{
    const size_t eq = attribute.find('=');
    const std::string key = lower_ascii(trim(attribute.substr(0, eq)));
    const std::string_view value = eq == std::string_view::npos ? std::string_view() : trim(attribute.substr(eq + 1));
    if (key == "path" && value.starts_with('/')) {
        cookie.path = value;
    } else if (key == "domain" && !value.empty()) {
        cookie.domain = normal_domain(value);
        cookie.host_only = false;
        domain_ok = domain_matches(cookie, target.host);
    } else if (key == "secure") {
        cookie.secure = true;
    } else if (key == "max-age") {
        long long seconds = 0;
        if (std::from_chars(value.data(), value.data() + value.size(), seconds).ec == std::errc())
            cookie.expires = seconds <= 0 ? 0 : now_ticks() + static_cast<ULONGLONG>(seconds) * kTicksPerSecond;
    } else if (key == "expires" && !cookie.expires) {
        cookie.expires = http_date_ticks(value);
    }
}

} // namespace

std::string default_cookie_path(std::string_view request_path)
{
    if (!request_path.starts_with('/'))
        return "/";
    const size_t last = request_path.rfind('/');
    return last == 0 ? "/" : std::string(request_path.substr(0, last));
}

bool domain_matches(const Cookie& cookie, std::string_view host)
{
    if (cookie.domain.empty() || host == cookie.domain)
        return true;
    return !cookie.host_only && host.size() > cookie.domain.size() && host.ends_with(cookie.domain) &&
           host[host.size() - cookie.domain.size() - 1] == '.';
}

bool path_matches(std::string_view cookie_path, std::string_view request_path)
{
    if (!request_path.starts_with(cookie_path))
        return false;
    return request_path.size() == cookie_path.size() || cookie_path.ends_with('/') ||
           request_path[cookie_path.size()] == '/';
}

void CookieStore::add(Cookie cookie)
{
    cookie.domain = normal_domain(cookie.domain);
    if (cookie.path.empty())
        cookie.path.push_back('/'); // (assigning a literal trips a false -Wrestrict in GCC 12)
    std::lock_guard lock(mutex_);
    std::erase_if(cookies_, [&](const Cookie& c) {
        return c.name == cookie.name && c.domain == cookie.domain && c.path == cookie.path;
    });
    if (!expired(cookie, now_ticks()))
        cookies_.push_back(std::move(cookie));
}

void CookieStore::accept(std::string_view set_cookie, const CookieTarget& target)
{
    size_t end = set_cookie.find(';');
    const std::string_view pair = set_cookie.substr(0, end);
    const size_t eq = pair.find('=');
    if (eq == std::string_view::npos || trim(pair.substr(0, eq)).empty())
        return;
    Cookie cookie;
    cookie.name = trim(pair.substr(0, eq));
    cookie.value = trim(pair.substr(eq + 1));
    cookie.domain = target.host;
    cookie.host_only = true;
    cookie.path = default_cookie_path(target.path);
    bool domain_ok = true;
    while (end != std::string_view::npos) {
        const size_t next = set_cookie.find(';', end + 1);
        apply_attribute(cookie, set_cookie.substr(end + 1, next == std::string_view::npos ? next : next - end - 1),
                        target, domain_ok);
        end = next;
    }
    if (domain_ok)
        add(std::move(cookie));
}

std::string CookieStore::header_for(const CookieTarget& target) const
{
    std::vector<const Cookie*> matching;
    const ULONGLONG now = now_ticks();
    std::lock_guard lock(mutex_);
    for (const Cookie& c : cookies_)
        if (!expired(c, now) && domain_matches(c, target.host) && path_matches(c.path, target.path) &&
            (!c.secure || target.secure))
            matching.push_back(&c);
    std::stable_sort(matching.begin(), matching.end(),
                     [](const Cookie* a, const Cookie* b) { return a->path.size() > b->path.size(); });
    std::string header;
    for (const Cookie* c : matching) {
        if (!header.empty())
            header += "; ";
        header += c->name + "=" + c->value;
    }
    return header;
}

size_t CookieStore::count() const
{
    std::lock_guard lock(mutex_);
    return cookies_.size();
}

void CookieStore::remove_all()
{
    std::lock_guard lock(mutex_);
    cookies_.clear();
}

} // namespace soapkit
