#include "server/HttpServer.h"

#include "server/Lifecycle.h"

#include <ws2tcpip.h>

#include <stdexcept>

namespace sapsim {
namespace {

class WinsockError : public std::runtime_error {
public:
    explicit WinsockError(const std::string& what) : std::runtime_error(what + " failed, error " + std::to_string(WSAGetLastError())) {}
};

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
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        throw std::runtime_error("Winsock is not available");
}

HttpServer::~HttpServer()
{
    m_listener.reset();
    WSACleanup();
}

unsigned short HttpServer::listen(unsigned short port)
{
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        throw WinsockError("socket");
    m_listener = std::make_unique<BlockingSocket>(s);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw WinsockError("binding 127.0.0.1:" + std::to_string(port));
    if (::listen(s, SOMAXCONN) != 0)
        throw WinsockError("listen");
    int size = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

void HttpServer::run()
{
    m_lifecycle.onStop([this] { stopAll(); });
    while (!m_lifecycle.stopping()) {
        const SOCKET socket = ::accept(m_listener->native(), nullptr, nullptr);
        if (socket != INVALID_SOCKET)
            admit(socket);
        else if (!m_lifecycle.stopping())
            m_lifecycle.waitFor(std::chrono::milliseconds(10)); // out of resources: try again shortly
    }
    std::list<std::unique_ptr<HttpConnection>> connections;
    {
        std::lock_guard lock(m_mutex);
        connections.swap(m_connections);
    }
    connections.clear(); // joins every connection thread
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

void HttpServer::stopAll()
{
    m_listener->close();
    std::lock_guard lock(m_mutex);
    for (auto& connection : m_connections)
        connection->stop();
}

} // namespace sapsim
