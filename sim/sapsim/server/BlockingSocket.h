#pragma once

#include "server/Asio.h"

#include <winsock2.h>

#include <chrono>
#include <mutex>

namespace sapsim {

// One connected socket used with blocking calls, as Beast's synchronous stream: blocking calls
// under Wine cost about half of what overlapped I/O costs, and a connection has a thread of its
// own anyway. Every call is bounded by the socket's receive and send time limits. Another
// thread may close the socket at any time, which ends a call waiting on it.
class BlockingSocket {
public:
    explicit BlockingSocket(SOCKET socket);
    ~BlockingSocket();
    BlockingSocket(const BlockingSocket&) = delete;
    BlockingSocket& operator=(const BlockingSocket&) = delete;

    void setTimeouts(std::chrono::milliseconds receive, std::chrono::milliseconds send);
    void shutdownSend();
    // From any thread; the socket cannot be used afterwards.
    void close();
    bool closed() const;
    SOCKET native() const { return handle(); }

    template <class Buffers>
    std::size_t read_some(const Buffers& buffers, beast::error_code& ec)
    {
        return transfer(buffers, ec, true);
    }
    template <class Buffers>
    std::size_t read_some(const Buffers& buffers)
    {
        beast::error_code ec;
        const std::size_t n = read_some(buffers, ec);
        if (ec)
            throw beast::system_error(ec);
        return n;
    }
    template <class Buffers>
    std::size_t write_some(const Buffers& buffers, beast::error_code& ec)
    {
        return transfer(buffers, ec, false);
    }
    template <class Buffers>
    std::size_t write_some(const Buffers& buffers)
    {
        beast::error_code ec;
        const std::size_t n = write_some(buffers, ec);
        if (ec)
            throw beast::system_error(ec);
        return n;
    }

private:
    static constexpr std::size_t maxBuffers = 16;

    template <class Buffers>
    std::size_t transfer(const Buffers& buffers, beast::error_code& ec, bool receive)
    {
        WSABUF wsa[maxBuffers];
        DWORD count = 0;
        for (auto it = asio::buffer_sequence_begin(buffers); it != asio::buffer_sequence_end(buffers) && count < maxBuffers; ++it) {
            const auto b = asio::buffer(*it);
            if (b.size() == 0)
                continue;
            // WSABUF has no const form; a send only reads through it.
            wsa[count].buf = static_cast<char*>(const_cast<void*>(static_cast<const void*>(b.data())));
            wsa[count].len = static_cast<ULONG>(std::min<std::size_t>(b.size(), 1u << 30));
            ++count;
        }
        if (count == 0) {
            ec = {};
            return 0;
        }
        return receive ? receiveInto(wsa, count, ec) : sendFrom(wsa, count, ec);
    }

    std::size_t receiveInto(WSABUF* buffers, DWORD count, beast::error_code& ec);
    std::size_t sendFrom(WSABUF* buffers, DWORD count, beast::error_code& ec);
    SOCKET handle() const;

    mutable std::mutex m_mutex;
    SOCKET m_socket;
};

} // namespace sapsim
