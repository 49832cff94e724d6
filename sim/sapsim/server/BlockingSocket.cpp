#include "server/BlockingSocket.h"

namespace sapsim {

BlockingSocket::BlockingSocket(SOCKET socket) : m_socket(socket)
{
    const BOOL noDelay = TRUE;
    setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
}

BlockingSocket::~BlockingSocket()
{
    close();
}

void BlockingSocket::setTimeouts(std::chrono::milliseconds receive, std::chrono::milliseconds send)
{
    const DWORD r = static_cast<DWORD>(receive.count());
    const DWORD s = static_cast<DWORD>(send.count());
    const SOCKET socket = handle();
    setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&r), sizeof r);
    setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&s), sizeof s);
}

void BlockingSocket::shutdownSend()
{
    ::shutdown(handle(), SD_SEND);
}

void BlockingSocket::close()
{
    std::lock_guard lock(m_mutex);
    if (m_socket != INVALID_SOCKET)
        ::closesocket(m_socket);
    m_socket = INVALID_SOCKET;
}

bool BlockingSocket::closed() const
{
    return handle() == INVALID_SOCKET;
}

SOCKET BlockingSocket::handle() const
{
    std::lock_guard lock(m_mutex);
    return m_socket;
}

std::size_t BlockingSocket::receiveInto(WSABUF* buffers, DWORD count, beast::error_code& ec)
{
    DWORD received = 0;
    DWORD flags = 0;
    if (WSARecv(handle(), buffers, count, &received, &flags, nullptr, nullptr) != 0) {
        ec = beast::error_code(WSAGetLastError(), asio::error::get_system_category());
        return 0;
    }
    ec = received == 0 ? beast::error_code(asio::error::eof) : beast::error_code();
    return received;
}

std::size_t BlockingSocket::sendFrom(WSABUF* buffers, DWORD count, beast::error_code& ec)
{
    DWORD sent = 0;
    if (WSASend(handle(), buffers, count, &sent, 0, nullptr, nullptr) != 0) {
        ec = beast::error_code(WSAGetLastError(), asio::error::get_system_category());
        return 0;
    }
    ec = {};
    return sent;
}

} // namespace sapsim
