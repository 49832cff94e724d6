#pragma once
// ListeningThread: the thread a server listens on, and the way its events reach the client.
// Every event runs on the client's thread (the one that made this object, the one that called
// Serve) while the listening thread waits for the answer: the handler works on the event's
// objects directly, without round trips between apartments, and a client in a single-threaded
// apartment sees its events from its own message loop.
//
// The object is shared between its server and the thread, so that the server can be released
// at any time, also from inside an event handler: the thread then ends on its own, after the
// callback it is in, and takes the object with it. Waiting for the thread pumps, so that an
// event it is raising meanwhile is delivered rather than deadlocked.
#include "com/Apartment.h"
#include "com/ThreadNotifier.h"

#include <atomic>
#include <functional>
#include <memory>

namespace tolvane {

class ListeningThread : public std::enable_shared_from_this<ListeningThread> {
public:
    virtual ~ListeningThread();
    ListeningThread(const ListeningThread&) = delete;
    ListeningThread& operator=(const ListeningThread&) = delete;

    // Starts the thread, which runs Run in a single-threaded apartment of its own and keeps this
    // object and the module loaded until it ends.
    void Start();
    // Asks the thread to end after what it is doing, then waits for it (pumping), unless the
    // caller is inside one of its events, where waiting would never end. On the client's thread.
    void Stop() noexcept;
    // From Start until the thread has ended.
    bool Running() const noexcept { return m_running; }

protected:
    // On the client's thread.
    ListeningThread();

    // The thread's work; returns when a stop is requested or when it gives up.
    virtual void Run() noexcept = 0;

    bool StopRequested() const noexcept { return m_stop; }
    void RequestStop() noexcept;
    // Waits `milliseconds`, cut short by a stop request.
    void Pause(DWORD milliseconds) noexcept;
    // Runs `raise` (one event) on the client's thread and returns when it has.
    void Deliver(const std::function<void()>& raise) noexcept;

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_running{false};
    int m_eventsRunning = 0; // on the client's thread only
    com::Event m_stopRequested;
    com::Event m_ended;
    std::unique_ptr<com::ThreadNotifier> m_home;
};

} // namespace tolvane
