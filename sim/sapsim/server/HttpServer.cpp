#include "server/HttpServer.h"

#include "server/Lifecycle.h"

namespace sapsim {
namespace {

// Refuses a client beyond the connection limit.
void sendBusy(SOCKET socket)
{
    static const char busy[] = "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    ::send(socket, busy, static_cast<int>(sizeof busy - 1), 0);
    ::shutdown(socket, SD_SEND);
    ::closesocket(socket);
}

} // namespace

HttpServer::HttpServer(RequestHandler& handler, Lifecycle& lifecycle, HttpLimits limits)
    : m_handler(handler), m_lifecycle(lifecycle), m_limits(limits)
{
}

unsigned short HttpServer::listen(unsigned short port)
{
    return m_acceptor.listen(port, "the HTTP port");
}

void HttpServer::run()
{
    m_lifecycle.onStop([this] { m_acceptor.stop(); });
    m_acceptor.run([this](SOCKET socket) { admit(socket); });
    endConnections();
}

void HttpServer::admit(SOCKET socket)
{
    std::lock_guard lock(m_mutex);
    m_connections.remove_if([](const std::unique_ptr<HttpConnection>& c) { return c->finished(); });
    if (m_lifecycle.stopping() || m_connections.size() >= m_limits.maxConnections) {
        sendBusy(socket);
        return;
    }
    m_connections.push_back(std::make_unique<HttpConnection>(socket, m_handler, m_lifecycle, m_limits));
    m_connections.back()->start();
}

// Runs on the accepting thread once it stopped accepting, so no connection can be added while
// the list is ended: each one waiting for a request is closed, the others finish their request.
void HttpServer::endConnections()
{
    std::list<std::unique_ptr<HttpConnection>> connections;
    {
        std::lock_guard lock(m_mutex);
        connections.swap(m_connections);
    }
    for (auto& connection : connections)
        connection->stop();
    connections.clear(); // joins every connection thread
}

} // namespace sapsim
