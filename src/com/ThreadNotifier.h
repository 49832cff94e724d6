#pragma once
// com::ThreadNotifier lets any thread make work run on the thread that made the notifier (its
// home thread), the next time that thread retrieves messages: in any message loop, and also
// inside CoWaitForMultipleHandles, which dispatches sent messages but not posted ones.
//   ring()  runs the notifier's callback there soon; the ringer does not wait;
//   call()  runs the given work there and waits for it to end (the work may use the caller's
//           objects directly: no marshalling, no round trips between apartments).
//
// It is a message-only window whose procedure runs the work; the work may destroy the notifier.
// A notifier destroyed on another thread leaves its window to be destroyed on the home thread;
// the module stays loaded while the window exists.
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
    // From any thread: runs `work` on the home thread and returns when it has. False when the
    // home thread has no window any more (it has ended).
    bool call(const std::function<void()>& work) noexcept;
    DWORD home_thread() const noexcept { return home_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    std::function<void()> on_ring_;
    DWORD home_;
    HWND window_ = nullptr;
};

} // namespace com
