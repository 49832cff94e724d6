#pragma once

#include "server/BlockingSocket.h"
#include "server/HttpLimits.h"
#include "server/HttpMessage.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace sapsim {

class RequestHandler;
class Lifecycle;

// One client connection on a thread of its own, with blocking reads and writes bounded in time
// (a module that waits blocks only its own client). HTTP keep-alive, "Expect: 100-continue",
// and clean errors for malformed requests (400), oversized headers (431) and bodies (413).
class HttpConnection {
public:
    HttpConnection(SOCKET socket, RequestHandler& handler, Lifecycle& lifecycle, const HttpLimits& limits);
    ~HttpConnection();

    void start();
    // From any thread: closes the connection if it waits for a next request; a request in
    // progress is finished first.
    void stop();
    bool finished() const { return m_finished; }

private:
    using Parser = http::request_parser<http::string_body>;
    using Clock = std::chrono::steady_clock;

    void run();
    bool serveOne(beast::flat_buffer& buffer);
    beast::error_code readHeader(beast::flat_buffer& buffer, Parser& parser);
    beast::error_code readBody(beast::flat_buffer& buffer, Parser& parser);
    bool respond(Parser& parser);
    void sendStatus(int status, const std::string& text);
    bool send(HttpResponse response, bool keepAlive);
    void lingeringClose();

    static constexpr std::chrono::seconds lingerTime{2};
    static constexpr size_t lingerBytes = 64 * 1024 * 1024;

    BlockingSocket m_socket;
    RequestHandler& m_handler;
    Lifecycle& m_lifecycle;
    HttpLimits m_limits;
    std::thread m_thread;
    std::mutex m_mutex;
    bool m_idle = false;
    bool m_stopped = false;
    std::atomic<bool> m_finished{false};
};

} // namespace sapsim
