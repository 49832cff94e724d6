#include "ThreadNotifier.h"

#include "HResultError.h"
#include "Module.h"

namespace com {
namespace {

constexpr UINT kRing = WM_APP + 0x4E1;
constexpr wchar_t kWindowClass[] = L"Tolvane.ThreadNotifier";

void register_window_class(WNDPROC procedure)
{
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = module_instance();
    window_class.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw hresult_error(HRESULT_FROM_WIN32(GetLastError()), L"cannot register the notification window class");
}

} // namespace

ThreadNotifier::ThreadNotifier(std::function<void()> onRing)
    : on_ring_(std::move(onRing)), home_(GetCurrentThreadId())
{
    register_window_class(&ThreadNotifier::procedure);
    window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module_instance(), nullptr);
    if (!window_)
        throw hresult_error(HRESULT_FROM_WIN32(GetLastError()), L"cannot create the notification window");
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ThreadNotifier::~ThreadNotifier()
{
    // A ring still queued finds no notifier behind the window.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void ThreadNotifier::ring() noexcept { SendNotifyMessageW(window_, kRing, 0, 0); }

LRESULT CALLBACK ThreadNotifier::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != kRing)
        return DefWindowProcW(window, message, wparam, lparam);
    auto* notifier = reinterpret_cast<ThreadNotifier*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!notifier)
        return 0;
    try {
        // A copy, because the callback may destroy the notifier and the original with it.
        const std::function<void()> callback = notifier->on_ring_;
        callback();
    } catch (...) {
        // No exception may cross the system's message dispatch.
    }
    return 0;
}

} // namespace com
