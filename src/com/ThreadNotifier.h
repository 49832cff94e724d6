#pragma once
// com::ThreadNotifier lets any thread make a callback run on the thread that made the notifier
// (its home thread), the next time that thread retrieves messages: in any message loop, and
// also inside CoWaitForMultipleHandles, which dispatches sent messages but not posted ones.
// Ringing never blocks the ringer and never runs the callback on the ringer's thread.
//
// It is a message-only window whose procedure runs the callback; the callback may destroy the
// notifier (the window then goes after the procedure has returned to the system).
#include <windows.h>

#include <functional>

namespace com {

class ThreadNotifier {
public:
    // On the home thread. Throws hresult_error when the window cannot be made.
    explicit ThreadNotifier(std::function<void()> onRing);
    // On the home thread.
    ~ThreadNotifier();
    ThreadNotifier(const ThreadNotifier&) = delete;
    ThreadNotifier& operator=(const ThreadNotifier&) = delete;

    // From another thread: the callback runs on the home thread soon.
    void ring() noexcept;
    DWORD home_thread() const noexcept { return home_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    std::function<void()> on_ring_;
    DWORD home_;
    HWND window_ = nullptr;
};

} // namespace com
