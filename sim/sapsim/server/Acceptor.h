#pragma once

#include <winsock2.h>

#include <atomic>
#include <functional>

namespace sapsim {

// Accepts connections on a listening socket until stop(). Stopping never closes a socket that
// another thread is using (a closed handle's number is soon given to another object, and a
// thread about to call accept() would then wait on that): stop() sets a flag and wakes the
// loop with a connection of its own, and the listener is closed by its owner once the loop has
// ended. The loop also looks at the flag every second, in case that connection cannot be made.
// Accepted sockets are handed over blocking.
class Acceptor {
public:
    Acceptor();
    ~Acceptor();
    Acceptor(const Acceptor&) = delete;
    Acceptor& operator=(const Acceptor&) = delete;

    // Binds 127.0.0.1:port (0 picks a free one) and returns the port; throws when it cannot.
    unsigned short listen(unsigned short port, const char* what);
    // Calls `admit` with each new connection until stop(); returns at once when stopped already.
    void run(const std::function<void(SOCKET)>& admit);
    // From any thread.
    void stop();

    static constexpr long recheckSeconds = 1;

private:
    bool connectionWaiting() const;
    void wake() const;

    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_port = 0;
    std::atomic<bool> m_stopped{false};
};

} // namespace sapsim
