#pragma once
// The transport's time-out, shared between the thread that waits for the server and any
// thread that changes the limit meanwhile. A wait measures from its own start against the
// current limit; a change wakes the waiter, which measures again, so lowering the limit ends
// the wait within the new limit (at once when it has already passed).
#include <windows.h>

#include <atomic>
#include <memory>

namespace soapkit {

struct KernelHandleCloser {
    void operator()(HANDLE h) const noexcept { CloseHandle(h); }
};
using KernelHandle = std::unique_ptr<void, KernelHandleCloser>;

// An unnamed event; throws std::bad_alloc when the system has none left.
KernelHandle make_event(bool manual_reset);

class Timeout {
public:
    static constexpr long kDefaultMilliseconds = 60000;

    Timeout();

    // 0 means no limit.
    void set(long milliseconds) noexcept;
    long get() const noexcept { return milliseconds_; }

    // Ends the current request's waits at once, as if its limit had passed, without changing
    // the limit; begin() starts the next request uncancelled.
    void cancel() noexcept;
    void begin() noexcept { cancelled_ = false; }
    bool cancelled() const noexcept { return cancelled_; }

    // Waits until `done` is signalled (true) or the limit, counted from `start` (a
    // GetTickCount64 value), has passed (false).
    bool wait(HANDLE done, ULONGLONG start) const noexcept;

private:
    DWORD remaining(ULONGLONG start) const noexcept;

    std::atomic<long> milliseconds_{kDefaultMilliseconds};
    std::atomic<bool> cancelled_{false};
    KernelHandle changed_; // auto-reset; one waiter at a time (the transport serialises its requests)
};

} // namespace soapkit
