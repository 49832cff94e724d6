#pragma once

#include "WireFormat.h"

#include <winsock2.h>

#include <chrono>
#include <memory>
#include <string>
#include <mutex>
#include <stdexcept>
#include <string>

namespace simwire {

// The partner closed the connection, or the network failed.
class ConnectionLost : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Frame {
    MessageType type = MessageType::Ok;
    std::string payload;
};

// One TCP connection carrying gateway frames, with blocking calls bounded in time. Small frames
// leave in one send with Nagle's algorithm off, so a request and its answer cost one round trip
// on loopback. Another thread may abort() the connection at any time; a call waiting on it then
// ends with ConnectionLost.
class FrameSocket {
public:
    explicit FrameSocket(SOCKET socket);
    ~FrameSocket();
    FrameSocket(const FrameSocket&) = delete;
    FrameSocket& operator=(const FrameSocket&) = delete;

    // Connects to host:port (a dotted address or a name); throws ConnectionLost.
    static std::unique_ptr<FrameSocket> connect(const std::string& host, unsigned short port,
                                                std::chrono::milliseconds timeout);

    // A frame's bytes must keep coming at least this often once it has begun.
    void setTransferTimeout(std::chrono::milliseconds timeout);
    void send(MessageType type, std::string_view payload);
    void sendRaw(std::string_view bytes);
    // True when data (or the end of the connection) is waiting; false after the time-out.
    bool waitReadable(std::chrono::milliseconds timeout);
    // Throws WireError for a frame that breaks the protocol, ConnectionLost when the partner is gone.
    Frame receive(uint32_t limit = maxPayload);
    // Any thread: wakes a waiting call and makes every later call fail.
    void abort();
    bool aborted() const;
    std::string peer() const;

    static void startWinsock();

private:
    void readExactly(char* data, size_t size);
    // Bytes received beyond the frame being read, kept for the next: a small frame then costs
    // one receive call instead of two (header, payload).
    size_t takeBuffered(char* data, size_t size);

    static constexpr size_t readAhead = 64 * 1024;

    SOCKET m_socket;
    std::unique_ptr<char[]> m_ahead{new char[readAhead]};
    size_t m_aheadStart = 0, m_aheadEnd = 0;
    mutable std::mutex m_mutex;
    bool m_aborted = false;
};

} // namespace simwire
