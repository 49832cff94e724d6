#pragma once
// BackgroundCall: the worker of one asynchronous call. It runs the call's Receive on a thread
// of its own, in an apartment of its own, then rings the session's thread and ends. It never
// touches the client's call object or the session: everything it learns stays in the call
// until the session's thread completes it.
#include "IntCall.h"
#include "com/Apartment.h"
#include "com/ThreadNotifier.h"

#include <atomic>
#include <memory>
#include <thread>

namespace tolvane {

class BackgroundCall {
public:
    // Starts the worker, which rings `notifier` (if any) when it has received; throws when no
    // thread can be started (nothing runs then).
    BackgroundCall(std::unique_ptr<CIntCall> call, com::ThreadNotifier* notifier);
    // Waits for the worker.
    ~BackgroundCall();
    BackgroundCall(const BackgroundCall&) = delete;
    BackgroundCall& operator=(const BackgroundCall&) = delete;

    CIntCall& Call() noexcept { return *m_call; }
    // The worker has received the answer (or failed); the call can be completed.
    bool Received() const noexcept { return m_received; }
    // Asks the call to end as soon as it can and waits for the worker.
    void Abort() noexcept;
    // Waits, pumping, until the worker has ended (at once after Received()).
    void Join() noexcept;

private:
    void Run(com::ThreadNotifier* notifier) noexcept;

    std::unique_ptr<CIntCall> m_call;
    std::atomic<bool> m_received{false};
    com::Event m_ended;
    std::thread m_thread;
};

} // namespace tolvane
