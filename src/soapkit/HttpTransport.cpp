#include "HttpTransport.h"

#include "Base64.h"
#include "SoapError.h"
#include "TextCodec.h"
#include "com/Bstr.h"
#include "com/SafeArray.h"
#include "com/Secret.h"
#include "com/Variant.h"

namespace soapkit {
namespace {

// Marks the transport as waiting for the server for as long as it lives.
class WaitingFlag {
public:
    explicit WaitingFlag(std::atomic<bool>& flag) : flag_(flag) { flag_ = true; }
    ~WaitingFlag() { flag_ = false; }
    WaitingFlag(const WaitingFlag&) = delete;
    WaitingFlag& operator=(const WaitingFlag&) = delete;

private:
    std::atomic<bool>& flag_;
};

// The Authorization header's value; every intermediate copy of the password is wiped.
std::wstring basic_credentials(BSTR user, BSTR password)
{
    if (com::view(user).empty())
        return {};
    std::string pair = to_utf8(com::view(user)) + ":";
    std::string secret = to_utf8(com::view(password));
    pair += secret;
    com::wipe(secret);
    std::string encoded = base64_encode({reinterpret_cast<const uint8_t*>(pair.data()), pair.size()});
    com::wipe(pair);
    std::wstring header = L"Basic " + to_wide(encoded);
    com::wipe(encoded);
    return header;
}

// The charset parameter of a Content-Type header ("" when it names none).
std::wstring charset_of(std::wstring_view content_type)
{
    const std::wstring lower = lower_ascii(content_type);
    const size_t at = lower.find(L"charset=");
    if (at == std::wstring::npos)
        return {};
    std::wstring value(content_type.substr(at + 8));
    value = value.substr(0, value.find(L';'));
    while (!value.empty() && value.back() == L' ')
        value.pop_back();
    if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"')
        value = value.substr(1, value.size() - 2);
    return value;
}

void add_header(std::wstring& headers, std::wstring_view name, std::wstring_view value)
{
    headers.append(name).append(L": ").append(value).append(L"\r\n");
}

com::variant byte_array(com::safearray bytes)
{
    com::variant v;
    V_VT(v.addr()) = VT_ARRAY | VT_UI1;
    V_ARRAY(v.addr()) = bytes.detach();
    return v;
}

} // namespace

CHttpTransport::CHttpTransport() = default;

CHttpTransport::~CHttpTransport()
{
    com::wipe(settings_.authorization);
    com::wipe(settings_.proxy_authorization);
}

HttpRequest CHttpTransport::build_request(const HttpUrl& url, std::string body)
{
    HttpRequest request;
    request.url = url;
    request.body = std::move(body);
    request.timeout_ms = timeout_.get();
    std::wstring& h = request.headers;
    add_header(h, L"Content-Type", L"text/xml; charset=utf-8");
    std::lock_guard lock(settings_mutex_);
    add_header(h, L"SOAPAction", L"\"" + settings_.action + L"\"");
    settings_.action.clear();
    if (!settings_.authorization.empty())
        add_header(h, L"Authorization", settings_.authorization);
    request.proxy = settings_.proxy;
    if (!request.proxy.empty() && !settings_.proxy_authorization.empty())
        add_header(h, L"Proxy-Authorization", settings_.proxy_authorization);
    if (const std::string cookies = cookies_->header_for(cookie_target(url)); !cookies.empty())
        add_header(h, L"Cookie", to_wide(cookies));
    return request;
}

HRESULT CHttpTransport::PostRequest(BSTR url, BSTR text)
{
    return guard([&] {
        const ULONGLONG start = GetTickCount64();
        const HttpUrl target = parse_url(com::view(url));
        std::lock_guard operation(operation_mutex_);
        current_.reset();
        timeout_.begin();
        if (target.port == 0)
            fail(result::Refused, L"could not connect to " + target.authority() + L" (port 0 accepts no connections)");
        ExchangeUse exchange = HttpExchange::open(build_request(target, to_utf8(com::view(text))));
        WaitingFlag waiting(waiting_);
        exchange->send(timeout_, start);
        current_ = std::move(exchange);
        current_url_ = target;
    });
}

void CHttpTransport::record_head(const HttpResponseHead& head)
{
    {
        std::lock_guard lock(settings_mutex_);
        settings_.status = head.status;
        settings_.content_type = head.content_type;
    }
    const CookieTarget target = cookie_target(current_url_);
    for (const std::wstring& set_cookie : head.set_cookies)
        cookies_->accept(to_utf8(set_cookie), target);
}

com::safearray CHttpTransport::receive(HttpExchange& exchange, ULONGLONG start)
{
    WaitingFlag waiting(waiting_);
    const HttpResponseHead head = exchange.receive_head(timeout_, start);
    record_head(head);
    const HttpPeer& peer = exchange.peer();
    if (head.status == 401 || head.status == 407)
        fail(result::AccessDenied, (head.status == 401 ? L"the server " + peer.server : L"the proxy " + peer.proxy) +
                                       L" refused the logon (HTTP " + std::to_wstring(head.status) + L")");
    size_t limit = 0;
    {
        std::lock_guard lock(settings_mutex_);
        limit = static_cast<size_t>(settings_.max_response);
    }
    if (head.content_length && *head.content_length > limit)
        fail(result::ParseError, L"the response from " + peer.server + L" announces " +
                                     std::to_wstring(*head.content_length) + L" bytes, more than the limit of " +
                                     std::to_wstring(limit));
    com::safearray body = exchange.read_body(timeout_, start, limit, head.content_length);
    const size_t received = com::element_count(body.get());
    if (head.content_length && received < *head.content_length)
        fail(result::TimedOut, L"the connection to " + peer.server + L" closed after " + std::to_wstring(received) +
                                   L" of " + std::to_wstring(*head.content_length) + L" bytes of the response");
    return body;
}

HRESULT CHttpTransport::FetchResponse(BSTR* charset, VARIANT* body)
{
    return guard([&] {
        com::require_out(charset);
        com::require_out(body);
        VariantInit(body);
        const ULONGLONG start = GetTickCount64();
        std::lock_guard operation(operation_mutex_);
        ExchangeUse exchange = std::move(current_);
        if (!exchange)
            fail(result::WrongOrder, L"there is no request whose response could be fetched (call PostRequest first)");
        com::variant bytes = byte_array(receive(*exchange, start));
        std::wstring named;
        {
            std::lock_guard lock(settings_mutex_);
            named = charset_of(settings_.content_type);
        }
        if (!named.empty()) {
            com::bstr replacement(named);
            SysFreeString(*charset);
            *charset = replacement.detach();
        }
        *body = bytes.detach();
    });
}

HRESULT CHttpTransport::SetActionHeader(BSTR action)
{
    return guard([&] {
        const std::wstring text(com::view(action));
        if (text.find_first_of(L"\r\n\"") != std::wstring::npos)
            fail(E_INVALIDARG, L"a SOAP action cannot contain quotes or line breaks");
        std::lock_guard lock(settings_mutex_);
        settings_.action = text;
    });
}

HRESULT CHttpTransport::CancelRequest()
{
    timeout_.cancel();
    return S_OK;
}

HRESULT CHttpTransport::SetTimeout(long milliseconds)
{
    return guard([&] {
        if (milliseconds < 0)
            fail(E_INVALIDARG, L"a time-out cannot be negative");
        timeout_.set(milliseconds);
    });
}

HRESULT CHttpTransport::UseProxy(BSTR host, long port)
{
    return guard([&] {
        const std::wstring name(com::view(host));
        if (!name.empty() && (port <= 0 || port > 65535))
            fail(E_INVALIDARG, L"the proxy port " + std::to_wstring(port) + L" is not a TCP port");
        if (name.find_first_of(L" \t\r\n/;") != std::wstring::npos)
            fail(E_INVALIDARG, L"'" + name + L"' is not a host name");
        std::lock_guard lock(settings_mutex_);
        settings_.proxy = name.empty() ? std::wstring() : name + L":" + std::to_wstring(port);
    });
}

HRESULT CHttpTransport::SetCredentials(BSTR user, BSTR password)
{
    return guard([&] {
        std::wstring value = basic_credentials(user, password);
        std::lock_guard lock(settings_mutex_);
        com::wipe(settings_.authorization);
        settings_.authorization.swap(value);
    });
}

HRESULT CHttpTransport::SetProxyCredentials(BSTR user, BSTR password)
{
    return guard([&] {
        std::wstring value = basic_credentials(user, password);
        std::lock_guard lock(settings_mutex_);
        com::wipe(settings_.proxy_authorization);
        settings_.proxy_authorization.swap(value);
    });
}

HRESULT CHttpTransport::GetHttpStatus(short* status)
{
    return guard([&] {
        com::require_out(status);
        std::lock_guard lock(settings_mutex_);
        *status = static_cast<short>(settings_.status);
    });
}

com::ptr<ICookieJar> CHttpTransport::jar()
{
    std::lock_guard lock(settings_mutex_);
    if (!jar_)
        jar_ = com::make<CCookieJar>(cookies_);
    return jar_;
}

HRESULT CHttpTransport::GetNamedProperty(BSTR name, VARIANT* value)
{
    return guard([&] {
        com::require_out(value);
        VariantInit(value);
        const std::wstring key = lower_ascii(com::view(name));
        com::variant result;
        if (key == L"cookies") {
            result = com::variant(static_cast<IDispatch*>(jar().get()));
        } else if (key == L"timeout") {
            result = com::variant(timeout_.get());
        } else if (key == L"contenttype") {
            std::lock_guard lock(settings_mutex_);
            result = com::variant(std::wstring_view(settings_.content_type));
        } else if (key == L"waiting") {
            result = com::variant(waiting_.load());
        } else {
            fail(E_INVALIDARG, L"the transport has no property '" + std::wstring(com::view(name)) + L"'");
        }
        com::check(result.copy_to(value));
    });
}

HRESULT CHttpTransport::get_MaxResponseSize(long* bytes)
{
    return guard([&] {
        com::require_out(bytes);
        std::lock_guard lock(settings_mutex_);
        *bytes = settings_.max_response;
    });
}

HRESULT CHttpTransport::put_MaxResponseSize(long bytes)
{
    return guard([&] {
        if (bytes <= 0)
            fail(E_INVALIDARG, L"the response size limit must be positive");
        std::lock_guard lock(settings_mutex_);
        settings_.max_response = bytes;
    });
}

} // namespace soapkit
