#pragma once
// A loopback HTTP server that a test scripts per request: it records every request it receives
// (request line, headers, body) and answers with what the test's handler returns, including
// answers no sound server gives: none at all, a connection closed before or in the middle of
// the response.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace test {

struct HttpRequestSeen {
    std::string method;
    std::string target;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;

    std::string header(const std::string& lower_name) const
    {
        auto found = headers.find(lower_name);
        return found == headers.end() ? std::string() : found->second;
    }
    bool has_header(const std::string& lower_name) const { return headers.count(lower_name) != 0; }
};

struct HttpReply {
    enum class Ending {
        complete,        // the whole reply, connection kept open
        close_silently,  // read the request, close without a byte
        close_mid_body,  // announce the whole body, send `partial_bytes` of it, close
        never,           // read the request, answer nothing until the server stops
        no_length_close, // send the body without Content-Length, then close
    };
    int status = 200;
    std::string reason = "OK";
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    Ending ending = Ending::complete;
    size_t partial_bytes = 0;

    static HttpReply xml(std::string body, int status = 200)
    {
        HttpReply reply;
        reply.status = status;
        reply.reason = status == 200 ? "OK" : "Status";
        reply.headers.emplace_back("Content-Type", "text/xml; charset=utf-8");
        reply.body = std::move(body);
        return reply;
    }
};

class TestServer {
public:
    using Handler = std::function<HttpReply(const HttpRequestSeen&)>;

    explicit TestServer(Handler handler);
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    unsigned short port() const;
    // "http://127.0.0.1:<port><path>"
    std::wstring url(std::wstring_view path = L"/sap/bc/soap/rfc?sap-client=000") const;

    std::vector<HttpRequestSeen> requests() const;
    // Waits (at most `ms`) until `count` requests have arrived.
    bool wait_for_requests(size_t count, DWORD ms) const;

    // Closes every connection and joins every thread; also done by the destructor.
    void stop();

private:
    struct State;
    std::shared_ptr<State> state_;
};

// A loopback port on which nothing listens (bound once, then released).
unsigned short unused_port();

} // namespace test
