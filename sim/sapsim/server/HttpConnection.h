#pragma once

#include "server/Asio.h"
#include "server/HttpLimits.h"
#include "server/HttpMessage.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>

namespace sapsim {

class RequestHandler;
class Lifecycle;

// One client connection on a thread of its own. The thread runs its own I/O context, so that
// every read and write has a time limit while the request handler may block (a module that
// waits blocks only its own client). HTTP keep-alive, "Expect: 100-continue", and clean errors
// for malformed requests (400), oversized headers (431) and bodies (413).
class HttpConnection {
public:
    HttpConnection(std::unique_ptr<asio::io_context> io, tcp::socket socket, RequestHandler& handler,
                   Lifecycle& lifecycle, const HttpLimits& limits);
    ~HttpConnection();

    void start();
    // From any thread: the connection closes once it waits for a next request.
    void stop();
    bool finished() const { return m_finished; }

private:
    void run();
    void lingeringClose();
    bool serveOne(beast::flat_buffer& buffer);
    void sendStatus(int status, const std::string& text);
    bool send(HttpResponse response, bool keepAlive);
    template <class Start>
    beast::error_code wait(Start start);

    static constexpr std::chrono::seconds lingerTime{2};
    static constexpr size_t lingerBytes = 64 * 1024 * 1024;

    std::unique_ptr<asio::io_context> m_io;
    beast::tcp_stream m_stream;
    RequestHandler& m_handler;
    Lifecycle& m_lifecycle;
    HttpLimits m_limits;
    std::thread m_thread;
    bool m_idle = false;
    bool m_stopRequested = false;
    std::atomic<bool> m_finished{false};
};

} // namespace sapsim
