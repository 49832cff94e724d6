#pragma once
// One HTTP request and its response over asynchronous WinHTTP.
//
// The calling thread drives the exchange one step at a time (send, receive the headers, read
// the body in chunks) and waits for each step on an event, against the transport's movable
// time-out. WinHTTP's callback only records what happened and signals. "Sent" is the moment
// the request went out (Wine reports the completion of the send only once the response
// begins); receiving waits for that completion first.
// When the time runs out the waiter closes the handles and fails at once; WinHTTP may still
// finish the step in the background (Wine does not cancel it), so the exchange, and the buffer
// a pending read writes into, stay alive until WinHTTP reports the request handle closing.
#include "HttpErrors.h"
#include "HttpUrl.h"
#include "Timeout.h"
#include "com/SafeArray.h"

#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace soapkit {

struct WinHttpCloser {
    void operator()(HINTERNET h) const noexcept { WinHttpCloseHandle(h); }
};
using WinHttpHandle = std::unique_ptr<void, WinHttpCloser>;

struct HttpRequest {
    HttpUrl url;
    std::wstring proxy;   // "host:port", empty for a direct connection
    std::wstring headers; // extra header lines, each ending in CRLF
    std::string body;
    long timeout_ms = 0;  // handed to WinHTTP's own time-outs too (0: none)
};

struct HttpResponseHead {
    int status = 0;
    std::wstring content_type;
    std::vector<std::wstring> set_cookies;
    std::optional<unsigned long long> content_length;
};

class HttpExchange;

// The use of one exchange. Letting go of it closes the exchange, which WinHTTP then frees.
struct ExchangeCloser {
    void operator()(HttpExchange* exchange) const noexcept;
};
using ExchangeUse = std::unique_ptr<HttpExchange, ExchangeCloser>;

class HttpExchange : public std::enable_shared_from_this<HttpExchange> {
public:
    // Opens the handles for `request`; nothing is sent yet.
    static ExchangeUse open(HttpRequest request);
    ~HttpExchange();
    HttpExchange(const HttpExchange&) = delete;
    HttpExchange& operator=(const HttpExchange&) = delete;

    // Each step waits within `timeout` counted from `start` and throws SoapError on failure;
    // the owner then lets go of the exchange.
    void send(const Timeout& timeout, ULONGLONG start);
    HttpResponseHead receive_head(const Timeout& timeout, ULONGLONG start);
    // The body as a byte array; `expected` is the announced length, when there is one.
    com::safearray read_body(const Timeout& timeout, ULONGLONG start, size_t limit,
                             std::optional<unsigned long long> expected);

    // Abandons the exchange: closes its handles; a pending step finishes in the background.
    // The object may be gone when this returns.
    void close() noexcept;

    const HttpPeer& peer() const noexcept { return peer_; }

private:
    // What WinHTTP reported so far; guarded by mutex_.
    struct Progress {
        bool written = false;       // the request went out
        bool send_complete = false; // WinHTTP finished the send
        bool headers = false;       // the response headers are there
        bool read_done = false;     // the pending read completed
        DWORD read_bytes = 0;
        DWORD error = 0; // a failed step; ends the exchange
    };
    using Condition = bool (*)(const Progress&) noexcept;

    explicit HttpExchange(HttpRequest request);
    void open_handles();
    void configure();
    void check_started(BOOL started) const;
    // Waits until `reached` holds; throws on a reported error or when the time runs out.
    Progress await(const Timeout& timeout, ULONGLONG start, Condition reached);
    std::optional<std::wstring> query_header(DWORD info, DWORD* index = WINHTTP_NO_HEADER_INDEX) const;
    // One read of at most `size` bytes into `buffer`; 0 at the end of the body.
    size_t read_some(char* buffer, size_t size, const Timeout& timeout, ULONGLONG start);
    com::safearray read_announced(const Timeout& timeout, ULONGLONG start, size_t length);
    com::safearray read_to_end(const Timeout& timeout, ULONGLONG start, size_t limit);

    static void CALLBACK on_status(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID info, DWORD length);
    template <class Change>
    void record(Change change) noexcept;
    void handle_closing() noexcept;

    HttpRequest request_;
    HttpPeer peer_;
    WinHttpHandle connect_;
    WinHttpHandle handle_;
    KernelHandle changed_; // auto-reset: signalled with every report

    std::mutex mutex_;
    Progress progress_;
    std::shared_ptr<HttpExchange> anchor_; // keeps this alive until WinHTTP closes the request
    // A pending read writes into one of these: the array that a body of announced length is
    // read into, or the growing buffer of one without.
    com::safearray announced_body_;
    std::vector<char> body_;
};

} // namespace soapkit
