#pragma once

#include "server/Asio.h"
#include "server/HttpConnection.h"
#include "server/HttpLimits.h"

#include <list>
#include <memory>

namespace sapsim {

class RequestHandler;
class Lifecycle;

// Accepts connections on 127.0.0.1 and gives each a connection thread, up to a limit beyond
// which new clients get 503. Runs until the lifecycle asks it to stop, then lets every
// connection finish the request it is serving.
class HttpServer {
public:
    HttpServer(RequestHandler& handler, Lifecycle& lifecycle, HttpLimits limits);

    // Binds the port (0 picks a free one) and returns the port bound.
    unsigned short listen(unsigned short port);
    void run();

private:
    void accept();
    void admit(std::unique_ptr<asio::io_context> io, tcp::socket socket);
    void reapFinished();

    RequestHandler& m_handler;
    Lifecycle& m_lifecycle;
    HttpLimits m_limits;
    asio::io_context m_io;
    tcp::acceptor m_acceptor;
    std::list<std::unique_ptr<HttpConnection>> m_connections;
};

} // namespace sapsim
