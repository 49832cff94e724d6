#pragma once

#include "server/HttpConnection.h"
#include "server/HttpLimits.h"

#include <list>
#include <memory>
#include <mutex>

namespace sapsim {

class RequestHandler;
class Lifecycle;

// Accepts connections on 127.0.0.1 and gives each a connection thread, up to a limit beyond
// which new clients get 503. Runs until the lifecycle asks it to stop, then lets every
// connection finish the request it is serving.
class HttpServer {
public:
    HttpServer(RequestHandler& handler, Lifecycle& lifecycle, HttpLimits limits);
    ~HttpServer();

    // Binds the port (0 picks a free one) and returns the port bound; throws when it cannot.
    unsigned short listen(unsigned short port);
    void run();

private:
    void admit(SOCKET socket);
    void stopAll();

    RequestHandler& m_handler;
    Lifecycle& m_lifecycle;
    HttpLimits m_limits;
    std::unique_ptr<BlockingSocket> m_listener;
    std::mutex m_mutex;
    std::list<std::unique_ptr<HttpConnection>> m_connections;
};

} // namespace sapsim
