#include "ThreadNotifier.h"

#include "HResultError.h"
#include "Module.h"

namespace com {
namespace {

constexpr UINT kRing = WM_APP + 0x4E1;
constexpr UINT kCall = WM_APP + 0x4E2;
constexpr UINT kDestroy = WM_APP + 0x4E3;
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
    module_lock(); // until WM_NCDESTROY: the window's procedure is this module's code
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ThreadNotifier::~ThreadNotifier()
{
    // A ring still queued finds no notifier behind the window.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    if (GetCurrentThreadId() == home_)
        DestroyWindow(window_);
    else
        PostMessageW(window_, kDestroy, 0, 0); // only the home thread may destroy its window
}

void ThreadNotifier::ring() noexcept { SendNotifyMessageW(window_, kRing, 0, 0); }

bool ThreadNotifier::call(const std::function<void()>& work) noexcept
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window_, kCall, 0, reinterpret_cast<LPARAM>(&work), SMTO_NORMAL, INFINITE, &result) != 0 &&
           result == 1;
}

LRESULT CALLBACK ThreadNotifier::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case kCall:
        try {
            (*reinterpret_cast<const std::function<void()>*>(lparam))();
        } catch (...) {
            // No exception may cross the system's message dispatch.
        }
        return 1;
    case kDestroy:
        DestroyWindow(window);
        return 0;
    case WM_NCDESTROY:
        module_unlock();
        return DefWindowProcW(window, message, wparam, lparam);
    case kRing:
        break;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
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
