#include "FrameSocket.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace simwire {
namespace {

std::string lastError(const char* what)
{
    return std::string(what) + " failed, error " + std::to_string(WSAGetLastError());
}

} // namespace

void FrameSocket::startWinsock()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started)
        throw ConnectionLost("Winsock is not available");
}

FrameSocket::FrameSocket(SOCKET socket) : m_socket(socket)
{
    const BOOL noDelay = TRUE;
    setsockopt(m_socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    setTransferTimeout(std::chrono::seconds(60));
}

FrameSocket::~FrameSocket()
{
    closesocket(m_socket);
}

std::unique_ptr<FrameSocket> FrameSocket::connect(const std::string& host, unsigned short port,
                                                  std::chrono::milliseconds timeout)
{
    startWinsock();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || found == nullptr)
        throw ConnectionLost("host " + host + " not found");
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> addresses(found, freeaddrinfo);
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        throw ConnectionLost(lastError("socket"));
    auto socket = std::make_unique<FrameSocket>(s);
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    if (::connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen)) != 0 && WSAGetLastError() != WSAEWOULDBLOCK)
        throw ConnectionLost(lastError(("connect to " + host + ":" + std::to_string(port)).c_str()));
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval limit{static_cast<long>(timeout.count() / 1000), static_cast<long>(timeout.count() % 1000 * 1000)};
    if (select(0, nullptr, &writable, &failed, &limit) != 1 || !FD_ISSET(s, &writable))
        throw ConnectionLost("connect to " + host + ":" + std::to_string(port) + " refused or timed out");
    nonBlocking = 0;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    return socket;
}

void FrameSocket::setTransferTimeout(std::chrono::milliseconds timeout)
{
    const DWORD ms = static_cast<DWORD>(timeout.count());
    setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
    setsockopt(m_socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
}

void FrameSocket::send(MessageType type, std::string_view payload)
{
    sendRaw(frame(type, payload));
}

void FrameSocket::sendRaw(std::string_view bytes)
{
    while (!bytes.empty()) {
        if (aborted())
            throw ConnectionLost("connection closed");
        const int chunk = static_cast<int>(std::min<size_t>(bytes.size(), 1u << 30));
        const int sent = ::send(m_socket, bytes.data(), chunk, 0);
        if (sent <= 0)
            throw ConnectionLost(lastError("send"));
        bytes.remove_prefix(static_cast<size_t>(sent));
    }
}

size_t FrameSocket::takeBuffered(char* data, size_t size)
{
    const size_t n = std::min(size, m_aheadEnd - m_aheadStart);
    std::memcpy(data, m_ahead.get() + m_aheadStart, n);
    m_aheadStart += n;
    return n;
}

void FrameSocket::readExactly(char* data, size_t size)
{
    const size_t buffered = takeBuffered(data, size);
    data += buffered;
    size -= buffered;
    while (size > 0) {
        if (aborted())
            throw ConnectionLost("connection closed");
        // Small reads go through the read-ahead buffer; large ones straight into the payload.
        const bool ahead = size < readAhead;
        char* target = ahead ? m_ahead.get() : data;
        const size_t want = ahead ? readAhead : std::min<size_t>(size, 1u << 20);
        const int got = ::recv(m_socket, target, static_cast<int>(want), 0);
        if (got <= 0)
            throw ConnectionLost(got == 0 ? std::string("connection closed by the partner") : lastError("receive"));
        if (ahead) {
            m_aheadStart = 0;
            m_aheadEnd = static_cast<size_t>(got);
            const size_t n = takeBuffered(data, size);
            data += n;
            size -= n;
        } else {
            data += got;
            size -= static_cast<size_t>(got);
        }
    }
}

bool FrameSocket::waitReadable(std::chrono::milliseconds timeout)
{
    if (aborted() || m_aheadStart < m_aheadEnd)
        return true;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(m_socket, &readable);
    timeval limit{static_cast<long>(timeout.count() / 1000), static_cast<long>(timeout.count() % 1000 * 1000)};
    const int ready = select(0, &readable, nullptr, nullptr, &limit);
    return ready != 0; // an error counts as readable: the next read reports it
}

Frame FrameSocket::receive(uint32_t limit)
{
    char header[headerSize];
    readExactly(header, headerSize);
    const FrameHeader h = decodeHeader(header, limit);
    Frame f{h.type, {}};
    // Grow with what arrives, so that a forged length costs no memory before its bytes come.
    constexpr size_t step = 1u << 20;
    while (f.payload.size() < h.length) {
        const size_t before = f.payload.size();
        const size_t part = std::min<size_t>(step, h.length - before);
        f.payload.resize(before + part);
        readExactly(f.payload.data() + before, part);
    }
    return f;
}

void FrameSocket::abort()
{
    std::lock_guard lock(m_mutex);
    if (!m_aborted)
        ::shutdown(m_socket, SD_BOTH);
    m_aborted = true;
}

bool FrameSocket::aborted() const
{
    std::lock_guard lock(m_mutex);
    return m_aborted;
}

std::string FrameSocket::peer() const
{
    sockaddr_in address{};
    int size = sizeof address;
    if (getpeername(m_socket, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return {};
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
}

} // namespace simwire
