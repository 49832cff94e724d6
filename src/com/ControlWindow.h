#pragma once
// ControlWindow: the child window of a control that is active in place with a window of its
// own. It shows the control's picture and goes with its owner.
//
// Its window class is registered while such windows exist and unregistered with the last one:
// Windows does not unregister a DLL's classes when the DLL unloads, and a class left behind
// would point at code that is gone.
#include <windows.h>

#include <functional>

namespace com {

class ControlWindow {
public:
    using Painter = std::function<void(HDC dc, const RECT& bounds)>;

    // Throws hresult_error when the window cannot be made.
    ControlWindow(HWND parent, const RECT& position, const RECT& clip, bool visible, Painter painter);
    ~ControlWindow();
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    HWND handle() const noexcept { return window_; }
    // Moves the window to `position` (the parent's client coordinates), showing only what lies
    // within `clip`.
    void place(const RECT& position, const RECT& clip) noexcept;
    void show(bool visible) noexcept;
    void invalidate() noexcept;

private:
    class ClassUse {
    public:
        ClassUse();
        ~ClassUse();
        ClassUse(const ClassUse&) = delete;
        ClassUse& operator=(const ClassUse&) = delete;
    };

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    void paint() noexcept;

    ClassUse class_use_;
    Painter painter_;
    HWND window_ = nullptr;
};

} // namespace com
