#include "CookieJar.h"

#include "SoapError.h"
#include "TextCodec.h"
#include "com/Bstr.h"

namespace soapkit {
namespace {

// Characters that would break the Cookie header or let a value smuggle in another header.
bool header_safe(std::string_view text, bool is_name) noexcept
{
    for (const char c : text)
        if (c == '\r' || c == '\n' || c == ';' || (is_name && (c == '=' || c == ' ' || c == ',')))
            return false;
    return true;
}

} // namespace

CookieTarget cookie_target(const HttpUrl& url)
{
    return {lower_ascii(to_utf8(url.host)), to_utf8(url.path), url.secure};
}

HRESULT CCookieJar::AddCookie(BSTR name, BSTR value, BSTR path, BSTR domain)
{
    return guard([&] {
        Cookie cookie;
        cookie.name = to_utf8(com::view(name));
        cookie.value = to_utf8(com::view(value));
        cookie.path = to_utf8(com::view(path));
        cookie.domain = to_utf8(com::view(domain));
        if (cookie.name.empty() || !header_safe(cookie.name, true))
            fail(E_INVALIDARG, L"'" + std::wstring(com::view(name)) + L"' cannot be used as a cookie name");
        if (!header_safe(cookie.value, false))
            fail(E_INVALIDARG, L"a cookie value cannot contain ';' or line breaks");
        if (!cookie.path.empty() && !cookie.path.starts_with('/'))
            fail(E_INVALIDARG, L"a cookie path must start with '/'");
        store_->add(std::move(cookie));
    });
}

HRESULT CCookieJar::CookieHeader(BSTR url, BSTR* header)
{
    return guard([&] {
        com::require_out(header);
        *header = nullptr;
        const std::string text = store_->header_for(cookie_target(parse_url(com::view(url))));
        return com::bstr(to_wide(text)).copy_to(header);
    });
}

HRESULT CCookieJar::Count(long* count)
{
    return guard([&] {
        com::require_out(count);
        *count = static_cast<long>(store_->count());
    });
}

HRESULT CCookieJar::RemoveAll()
{
    return guard([&] { store_->remove_all(); });
}

} // namespace soapkit
