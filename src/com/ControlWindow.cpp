#include "ControlWindow.h"

#include "HResultError.h"
#include "Module.h"

#include <mutex>

namespace com {
namespace {

constexpr wchar_t kClassName[] = L"TolvaneControlWindow";

std::mutex class_mutex;
int class_users = 0;

} // namespace

ControlWindow::ClassUse::ClassUse()
{
    std::lock_guard lock(class_mutex);
    if (class_users == 0) {
        WNDCLASSEXW window_class{};
        window_class.cbSize = sizeof window_class;
        window_class.lpfnWndProc = &ControlWindow::procedure;
        window_class.hInstance = module_instance();
        window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        window_class.lpszClassName = kClassName;
        if (!RegisterClassExW(&window_class))
            throw hresult_error(HRESULT_FROM_WIN32(GetLastError()));
    }
    ++class_users;
}

ControlWindow::ClassUse::~ClassUse()
{
    std::lock_guard lock(class_mutex);
    if (--class_users == 0)
        UnregisterClassW(kClassName, module_instance());
}

ControlWindow::ControlWindow(HWND parent, const RECT& position, const RECT& clip, bool visible, Painter painter)
    : painter_(std::move(painter))
{
    window_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, position.left, position.top,
                              position.right - position.left, position.bottom - position.top, parent, nullptr,
                              module_instance(), this);
    if (!window_)
        throw hresult_error(HRESULT_FROM_WIN32(GetLastError()));
    place(position, clip);
    show(visible);
}

ControlWindow::~ControlWindow()
{
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

void ControlWindow::place(const RECT& position, const RECT& clip) noexcept
{
    SetWindowPos(window_, nullptr, position.left, position.top, position.right - position.left,
                 position.bottom - position.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT visible{};
    IntersectRect(&visible, &position, &clip);
    if (EqualRect(&visible, &position)) {
        SetWindowRgn(window_, nullptr, TRUE);
        return;
    }
    OffsetRect(&visible, -position.left, -position.top);
    if (HRGN region = CreateRectRgnIndirect(&visible))
        if (!SetWindowRgn(window_, region, TRUE)) // the window owns the region once it is set
            DeleteObject(region);
}

void ControlWindow::show(bool visible) noexcept
{
    ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void ControlWindow::invalidate() noexcept
{
    InvalidateRect(window_, nullptr, TRUE);
}

void ControlWindow::paint() noexcept
{
    PAINTSTRUCT paint{};
    if (HDC dc = BeginPaint(window_, &paint)) {
        RECT bounds{};
        GetClientRect(window_, &bounds);
        try {
            painter_(dc, bounds);
        } catch (...) {
            // a picture that could not be drawn leaves the background
        }
        EndPaint(window_, &paint);
    }
}

LRESULT CALLBACK ControlWindow::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_PAINT) {
        self->paint();
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

} // namespace com
