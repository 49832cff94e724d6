#pragma once

#include "include/ClassicRfcAbi.h"

#include "WireMessages.h"

#include <mutex>
#include <string>

namespace classicrfc {

// A connection handle: a client logged on at the gateway or a registered server program. It
// lives from RfcOpenExU or RfcAcceptU until RfcCloseU; when the partner ends the connection
// the handle stays known and reports RFC_CLOSED. Calls on one handle are serialised by its
// mutex. A user context may be attached once; its disconnect callback runs once, when the
// connection ends, and its free callback when the handle is released.
class Connection {
public:
    Connection(const simwire::SystemAttributes& attributes, std::string programName, bool server);
    virtual ~Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    RFC_HANDLE handle() const { return m_handle; }
    void setHandle(RFC_HANDLE handle) { m_handle = handle; }
    bool isServer() const { return m_server; }
    virtual bool open() const = 0;
    // Ends the connection to the gateway (the handle stays known).
    virtual void shutdown() = 0;
    std::mutex& mutex() { return m_mutex; }
    RFC_ATTRIBUTES rfcAttributes() const;

    RFC_RC attach(RFC_ON_DISCONNECT onDisconnect, RFC_ON_FREE onFree, void* context);
    // False when no context is attached.
    bool attachedContext(void*& context) const;
    bool detach(RFC_ON_DISCONNECT* onDisconnect, RFC_ON_FREE* onFree, void** context);
    // Run the callbacks; call without holding mutex(), since they may use the handle.
    void notifyDisconnected();
    void notifyReleased();

private:
    struct AttachedContext {
        RFC_ON_DISCONNECT onDisconnect = nullptr;
        RFC_ON_FREE onFree = nullptr;
        void* context = nullptr;
        bool attached = false;
        bool disconnectNotified = false;
    };

    simwire::SystemAttributes m_attributes;
    std::string m_programName;
    bool m_server;
    RFC_HANDLE m_handle = RFC_HANDLE_NULL;
    std::mutex m_mutex;
    mutable std::mutex m_contextMutex;
    AttachedContext m_context;
};

} // namespace classicrfc
