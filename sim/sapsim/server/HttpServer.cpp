#include "server/HttpServer.h"

#include "server/Lifecycle.h"

namespace sapsim {

HttpServer::HttpServer(RequestHandler& handler, Lifecycle& lifecycle, HttpLimits limits)
    : m_handler(handler), m_lifecycle(lifecycle), m_limits(limits), m_acceptor(m_io)
{
}

unsigned short HttpServer::listen(unsigned short port)
{
    const tcp::endpoint endpoint(asio::ip::make_address_v4("127.0.0.1"), port);
    m_acceptor.open(endpoint.protocol());
    m_acceptor.bind(endpoint);
    m_acceptor.listen(asio::socket_base::max_listen_connections);
    return m_acceptor.local_endpoint().port();
}

void HttpServer::run()
{
    m_lifecycle.onStop([this] {
        asio::post(m_io, [this] {
            beast::error_code ignored;
            m_acceptor.close(ignored);
            for (auto& connection : m_connections)
                connection->stop();
        });
    });
    accept();
    m_io.run();
    m_connections.clear(); // joins every connection thread
}

void HttpServer::accept()
{
    auto io = std::make_unique<asio::io_context>(1);
    auto& context = *io;
    m_acceptor.async_accept(context, [this, io = std::move(io)](beast::error_code ec, tcp::socket socket) mutable {
        if (!m_acceptor.is_open())
            return;
        if (!ec)
            admit(std::move(io), std::move(socket));
        accept();
    });
}

void HttpServer::admit(std::unique_ptr<asio::io_context> io, tcp::socket socket)
{
    reapFinished();
    if (m_lifecycle.stopping() || m_connections.size() >= m_limits.maxConnections) {
        static const std::string busy =
            "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        beast::error_code ignored;
        asio::write(socket, asio::buffer(busy), ignored);
        socket.close(ignored);
        return;
    }
    m_connections.push_back(std::make_unique<HttpConnection>(std::move(io), std::move(socket), m_handler, m_lifecycle, m_limits));
    m_connections.back()->start();
}

void HttpServer::reapFinished()
{
    m_connections.remove_if([](const std::unique_ptr<HttpConnection>& c) { return c->finished(); });
}

} // namespace sapsim
