#include "HttpExchange.h"

#include <algorithm>

#include "SoapError.h"
#include "SoapKit.h"
#include "com/Module.h"
#include <map>

namespace soapkit {
namespace {

constexpr size_t kReadChunk = 64 * 1024;
// Each read is a round trip through WinHTTP's worker; a body of known length is read in pieces
// up to this size, which under Wine makes a large table several times faster to receive.
constexpr size_t kLargestRead = 8 * 1024 * 1024;
constexpr DWORD kBackgroundMargin = 5000; // ms
// The notification flag of REQUEST_SENT has the status's value; mingw's headers lack its name.
constexpr DWORD kRequestSentFlag = WINHTTP_CALLBACK_STATUS_REQUEST_SENT;
constexpr DWORD kCallbackFlags = WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES | kRequestSentFlag;

// An asynchronous WinHTTP session per proxy ("" for direct connections), shared by every
// transport of the process: credentials and cookies go with each request, and Wine takes the
// proxy only from the session. Never closed: WinHTTP may still be finishing abandoned requests
// when the process ends.
HINTERNET session_for(const std::wstring& proxy)
{
    static std::mutex mutex;
    static auto* sessions = new std::map<std::wstring, HINTERNET>;
    std::lock_guard lock(mutex);
    if (auto found = sessions->find(proxy); found != sessions->end())
        return found->second;
    const HINTERNET session =
        proxy.empty() ? WinHttpOpen(L"TolvaneSoap/1.0", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC)
                      : WinHttpOpen(L"TolvaneSoap/1.0", WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxy.c_str(),
                                    WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
    if (!session)
        fail(HRESULT_FROM_WIN32(GetLastError()), L"WinHTTP is not available");
    sessions->emplace(proxy, session);
    return session;
}

void set_option(HINTERNET handle, DWORD option, const void* value, DWORD size)
{
    if (!WinHttpSetOption(handle, option, const_cast<void*>(value), size))
        fail(HRESULT_FROM_WIN32(GetLastError()), L"WinHTTP refused option " + std::to_wstring(option));
}

} // namespace

void ExchangeCloser::operator()(HttpExchange* exchange) const noexcept { exchange->close(); }

ExchangeUse HttpExchange::open(HttpRequest request)
{
    std::shared_ptr<HttpExchange> exchange(new HttpExchange(std::move(request)));
    exchange->open_handles();
    exchange->configure();
    // From here on the exchange keeps itself alive until WinHTTP closes its request handle.
    return ExchangeUse(exchange.get());
}

HttpExchange::HttpExchange(HttpRequest request) : request_(std::move(request)), changed_(make_event(false))
{
    peer_.server = request_.url.authority();
    peer_.host = request_.url.host;
    peer_.proxy = request_.proxy;
    // WinHTTP may call back into this code until the request handle is closed.
    com::module_lock();
}

HttpExchange::~HttpExchange() { com::module_unlock(); }

void HttpExchange::open_handles()
{
    const HttpUrl& url = request_.url;
    connect_.reset(WinHttpConnect(session_for(request_.proxy), url.host.c_str(), url.port, 0));
    if (!connect_)
        fail_winhttp(GetLastError(), peer_);
    static const wchar_t* const kAccept[] = {L"text/xml", L"*/*", nullptr};
    handle_.reset(WinHttpOpenRequest(connect_.get(), L"POST", url.target.c_str(), nullptr, WINHTTP_NO_REFERER,
                                     const_cast<LPCWSTR*>(kAccept), url.secure ? WINHTTP_FLAG_SECURE : 0));
    if (!handle_)
        fail_winhttp(GetLastError(), peer_);
}

void HttpExchange::configure()
{
    HINTERNET h = handle_.get();
    const DWORD disabled = WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_REDIRECTS;
    set_option(h, WINHTTP_OPTION_DISABLE_FEATURE, &disabled, sizeof disabled);
    // WinHTTP's own limits only bound what it does in the background after a wait gave up;
    // the wait itself follows the transport's time-out, which they outlast by a margin.
    const DWORD limit = request_.timeout_ms > 0 ? static_cast<DWORD>(request_.timeout_ms) + kBackgroundMargin : 0;
    WinHttpSetTimeouts(h, static_cast<int>(limit), static_cast<int>(limit), static_cast<int>(limit), static_cast<int>(limit));
    if (limit > 0)
        WinHttpSetOption(h, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, const_cast<DWORD*>(&limit), sizeof limit);

    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(this);
    set_option(h, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context);
    anchor_ = shared_from_this();
    if (WinHttpSetStatusCallback(h, &HttpExchange::on_status, kCallbackFlags, 0) == WINHTTP_INVALID_STATUS_CALLBACK) {
        anchor_.reset();
        fail(HRESULT_FROM_WIN32(GetLastError()), L"WinHTTP refused the status callback");
    }
}

void HttpExchange::check_started(BOOL started) const
{
    if (!started)
        fail_winhttp(GetLastError(), peer_);
}

HttpExchange::Progress HttpExchange::await(const Timeout& timeout, ULONGLONG start, Condition reached)
{
    for (;;) {
        Progress now;
        {
            std::lock_guard lock(mutex_);
            now = progress_;
        }
        if (now.error)
            fail_winhttp(now.error, peer_);
        if (reached(now))
            return now;
        if (timeout.wait(changed_.get(), start))
            continue;
        const std::wstring peer = peer_.server + (peer_.proxy.empty() ? L"" : L" through proxy " + peer_.proxy);
        if (timeout.cancelled())
            fail(result::TimedOut, L"the request to " + peer + L" was cancelled");
        fail(result::TimedOut, L"no complete answer from " + peer + L" within " + std::to_wstring(timeout.get()) + L" ms");
    }
}

void HttpExchange::send(const Timeout& timeout, ULONGLONG start)
{
    const DWORD size = static_cast<DWORD>(request_.body.size());
    check_started(WinHttpSendRequest(handle_.get(), request_.headers.c_str(), static_cast<DWORD>(-1L),
                                     request_.body.data(), size, size, reinterpret_cast<DWORD_PTR>(this)));
    await(timeout, start, [](const Progress& p) noexcept { return p.written || p.send_complete; });
}

std::optional<std::wstring> HttpExchange::query_header(DWORD info, DWORD* index) const
{
    DWORD size = 0;
    WinHttpQueryHeaders(handle_.get(), info, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size, index);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return std::nullopt;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(handle_.get(), info, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size, index))
        return std::nullopt;
    value.resize(size / sizeof(wchar_t));
    return value;
}

HttpResponseHead HttpExchange::receive_head(const Timeout& timeout, ULONGLONG start)
{
    await(timeout, start, [](const Progress& p) noexcept { return p.send_complete; });
    check_started(WinHttpReceiveResponse(handle_.get(), nullptr));
    await(timeout, start, [](const Progress& p) noexcept { return p.headers; });
    HttpResponseHead head;
    DWORD status = 0, size = sizeof status;
    if (WinHttpQueryHeaders(handle_.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        head.status = static_cast<int>(status);
    head.content_type = query_header(WINHTTP_QUERY_CONTENT_TYPE).value_or(L"");
    if (auto length = query_header(WINHTTP_QUERY_CONTENT_LENGTH)) {
        wchar_t* end = nullptr;
        const unsigned long long n = wcstoull(length->c_str(), &end, 10);
        if (end != length->c_str() && *end == L'\0')
            head.content_length = n;
    }
    DWORD index = 0;
    while (auto cookie = query_header(WINHTTP_QUERY_SET_COOKIE, &index))
        head.set_cookies.push_back(std::move(*cookie));
    return head;
}

size_t HttpExchange::read_some(char* buffer, size_t size, const Timeout& timeout, ULONGLONG start)
{
    record([](Progress& p) { p.read_done = false; });
    check_started(WinHttpReadData(handle_.get(), buffer, static_cast<DWORD>(size), nullptr));
    return await(timeout, start, [](const Progress& p) noexcept { return p.read_done; }).read_bytes;
}

com::safearray HttpExchange::read_body(const Timeout& timeout, ULONGLONG start, size_t limit,
                                       std::optional<unsigned long long> expected)
{
    if (expected && *expected <= limit)
        return read_announced(timeout, start, static_cast<size_t>(*expected));
    return read_to_end(timeout, start, limit);
}

// Straight into the array handed to the caller: a large table is several megabytes, and every
// copy of it costs fresh memory. Once the announced length is there the body is complete, and
// no further read is needed to learn that.
com::safearray HttpExchange::read_announced(const Timeout& timeout, ULONGLONG start, size_t length)
{
    // Only this thread touches the array while no read is pending.
    announced_body_ = com::safearray::bytes(length);
    char* data = static_cast<char*>(announced_body_.get()->pvData);
    size_t received = 0;
    while (received < length) {
        const size_t got = read_some(data + received, std::min(length - received, kLargestRead), timeout, start);
        if (got == 0)
            break;
        received += got;
    }
    if (received == length)
        return std::move(announced_body_);
    // The connection ended early: the caller reports how much arrived.
    com::safearray partial = com::safearray::bytes(received);
    std::copy(data, data + received, static_cast<char*>(partial.get()->pvData));
    return partial;
}

com::safearray HttpExchange::read_to_end(const Timeout& timeout, ULONGLONG start, size_t limit)
{
    // Only this thread touches the buffer while no read is pending.
    std::vector<char>& body = body_;
    for (;;) {
        const size_t old = body.size();
        body.resize(old + kReadChunk);
        const size_t got = read_some(body.data() + old, kReadChunk, timeout, start);
        body.resize(old + got);
        if (got == 0)
            break;
        if (body.size() > limit)
            fail(result::ParseError, L"the response from " + peer_.server + L" is larger than the limit of " +
                                         std::to_wstring(limit) + L" bytes");
    }
    com::safearray bytes = com::safearray::bytes(body.size());
    std::copy(body.begin(), body.end(), static_cast<char*>(bytes.get()->pvData));
    return bytes;
}

void HttpExchange::close() noexcept
{
    connect_.reset(); // WinHTTP keeps it for as long as the request needs it
    // Closing the request may report HANDLE_CLOSING on this thread and free this object at once.
    if (HINTERNET request = handle_.release())
        WinHttpCloseHandle(request);
}

void CALLBACK HttpExchange::on_status(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD length)
{
    auto* self = reinterpret_cast<HttpExchange*>(context);
    if (!self)
        return;
    switch (status) {
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
        self->handle_closing();
        break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_SENT:
        self->record([](Progress& p) { p.written = true; });
        break;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
        self->record([](Progress& p) { p.send_complete = true; });
        break;
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
        self->record([](Progress& p) { p.headers = true; });
        break;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
        self->record([length](Progress& p) {
            p.read_done = true;
            p.read_bytes = length;
        });
        break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR: {
        const DWORD error = static_cast<const WINHTTP_ASYNC_RESULT*>(info)->dwError;
        self->record([error](Progress& p) { p.error = error; });
        break;
    }
    default:
        break;
    }
}

template <class Change>
void HttpExchange::record(Change change) noexcept
{
    {
        std::lock_guard lock(mutex_);
        change(progress_);
    }
    SetEvent(changed_.get());
}

void HttpExchange::handle_closing() noexcept
{
    std::shared_ptr<HttpExchange> last_reference;
    {
        std::lock_guard lock(mutex_);
        last_reference = std::move(anchor_);
    }
    // `this` may be destroyed here.
}

} // namespace soapkit
