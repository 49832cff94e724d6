#include "server/Acceptor.h"

#include "FrameSocket.h"

#include <stdexcept>
#include <string>
#include <thread>

namespace sapsim {
namespace {

std::string failed(const std::string& what)
{
    return what + " failed, error " + std::to_string(WSAGetLastError());
}

void setBlocking(SOCKET s, bool blocking)
{
    u_long nonBlocking = blocking ? 0 : 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
}

sockaddr_in loopback(unsigned short port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

} // namespace

Acceptor::Acceptor()
{
    simwire::FrameSocket::startWinsock();
}

Acceptor::~Acceptor()
{
    if (m_listener != INVALID_SOCKET)
        closesocket(m_listener);
}

unsigned short Acceptor::listen(unsigned short port, const char* what)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_listener == INVALID_SOCKET)
        throw std::runtime_error(failed(std::string(what) + " socket"));
    sockaddr_in address = loopback(port);
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(m_listener, SOMAXCONN) != 0)
        throw std::runtime_error(failed(std::string("binding ") + what + " to 127.0.0.1:" + std::to_string(port)));
    // Never blocking in accept(): a connection that goes away between the wait and the accept
    // must not hold the loop.
    setBlocking(m_listener, false);
    int size = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
    m_port = ntohs(address.sin_port);
    return m_port;
}

void Acceptor::run(const std::function<void(SOCKET)>& admit)
{
    while (!m_stopped) {
        if (!connectionWaiting())
            continue;
        const SOCKET s = ::accept(m_listener, nullptr, nullptr);
        if (m_stopped) {
            if (s != INVALID_SOCKET)
                closesocket(s); // the wake-up connection, or one that came too late
            break;
        }
        if (s != INVALID_SOCKET) {
            setBlocking(s, true); // accepted sockets inherit the listener's mode
            admit(s);
        } else if (WSAGetLastError() != WSAEWOULDBLOCK) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10)); // out of resources: try again shortly
        }
    }
}

bool Acceptor::connectionWaiting() const
{
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(m_listener, &readable);
    timeval limit{recheckSeconds, 0};
    return select(0, &readable, nullptr, nullptr, &limit) > 0;
}

void Acceptor::stop()
{
    if (!m_stopped.exchange(true))
        wake();
}

void Acceptor::wake() const
{
    if (m_port == 0)
        return;
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return;
    setBlocking(s, false);
    sockaddr_in address = loopback(m_port);
    ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    // Closing before the connection is made would cancel it; a connection that cannot be made
    // is fine too, the loop looks at the flag anyway.
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(s, &writable);
    timeval limit{0, 200000};
    select(0, nullptr, &writable, nullptr, &limit);
    closesocket(s);
}

} // namespace sapsim
