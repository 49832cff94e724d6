#pragma once

#include "server/Acceptor.h"
#include "server/HttpConnection.h"
#include "server/HttpLimits.h"

#include <list>
#include <memory>
#include <mutex>

namespace sapsim {

class RequestHandler;
class Lifecycle;

// Accepts connections on 127.0.0.1 and gives each a connection thread, up to a limit beyond
// which new clients get 503. Runs until the lifecycle asks it to stop, then ends every
// connection that waits for a request and lets the others finish the request they serve.
class HttpServer {
public:
    HttpServer(RequestHandler& handler, Lifecycle& lifecycle, HttpLimits limits);

    // Binds the port (0 picks a free one) and returns the port bound; throws when it cannot.
    unsigned short listen(unsigned short port);
    void run();

private:
    void admit(SOCKET socket);
    void endConnections();

    RequestHandler& m_handler;
    Lifecycle& m_lifecycle;
    HttpLimits m_limits;
    Acceptor m_acceptor;
    std::mutex m_mutex;
    std::list<std::unique_ptr<HttpConnection>> m_connections;
};

} // namespace sapsim
