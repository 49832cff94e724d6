#pragma once

#include "gateway/GatewayServices.h"
#include "server/Acceptor.h"

#include "FrameSocket.h"
#include "WireMessages.h"

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace sapsim {

// The RFC gateway: accepts partners on 127.0.0.1, each on a thread of its own. A client logs on
// and is served by a ClientChannel; a server program registers and joins Registrations, where
// the HTTP admin endpoints call it. A partner that breaks the protocol, sends oversized frames
// or disappears costs its own connection only.
class GatewayServer {
public:
    explicit GatewayServer(const GatewayServices& services);
    ~GatewayServer();

    // Binds the port (0 picks a free one) and returns it; throws when it cannot.
    unsigned short listen(unsigned short port);
    void start();
    // Closes the listener and every connection, and waits for their threads.
    void stop();

    static constexpr size_t maxPartners = 256;
    static constexpr std::chrono::seconds helloTimeout{10};
    // Logon frames are small; a larger one is refused before it is read.
    static constexpr uint32_t maxHello = 1u << 20;

private:
    struct Partner {
        unsigned id = 0;
        std::unique_ptr<simwire::FrameSocket> socket;
        std::thread thread;
        std::atomic<bool> finished{false};
    };

    void admit(SOCKET socket);
    void serve(Partner& partner);
    void serveClient(Partner& partner, const simwire::Frame& hello);
    void registerServer(Partner& partner, const simwire::Frame& hello);
    simwire::SystemAttributes attributes(unsigned id, const std::string& client, const std::string& user,
                                         const std::string& language, const simwire::FrameSocket& socket) const;

    const GatewayServices& m_services;
    Acceptor m_acceptor;
    std::thread m_accepting;
    std::mutex m_mutex;
    std::list<std::unique_ptr<Partner>> m_partners;
    std::atomic<unsigned> m_nextId{1};
    std::atomic<bool> m_stopping{false};
    std::mutex m_stopMutex; // a second stop waits until the first has ended
    bool m_stopped = false;
};

} // namespace sapsim
