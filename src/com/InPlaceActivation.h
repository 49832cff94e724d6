#pragma once
// InPlaceActivation: a control's in-place and UI activation in its container. It activates
// windowless when the site offers it (IOleInPlaceSiteWindowless, CanWindowlessActivate), and
// otherwise in a child window of the site's window. A control without menus, tools or keyboard
// input has nothing to negotiate when it becomes UI active: it only tells the site and makes
// itself the active object of the frame and the document window.
#include "ComPtr.h"
#include "ControlWindow.h"

#include <ocidl.h>

#include <memory>

namespace com {

class ControlCore;

class InPlaceActivation {
public:
    InPlaceActivation(ControlCore& control, IOleInPlaceActiveObject* active_object) noexcept
        : control_(control), active_object_(active_object)
    {
    }

    // Activates in place in the client site's container (and UI-activates when `ui`); nothing
    // to do when already active. OLEOBJ_S_CANNOT_DOVERB_NOW when the site refuses; throws
    // hresult_error when the site fails.
    HRESULT activate(bool ui);
    void ui_deactivate() noexcept;
    void deactivate() noexcept;

    bool active() const noexcept { return site_ != nullptr; }
    bool windowless() const noexcept { return windowless_site_ != nullptr; }
    const RECT& position() const noexcept { return position_; }
    // E_FAIL when windowless or not active.
    HRESULT get_window(HWND* window) const noexcept;
    void set_rects(const RECT& position, const RECT& clip) noexcept;

    // Shows the control's picture again: its window repaints, or the windowless site is asked to.
    void invalidate() noexcept;
    // The window is shown in design mode and hidden at run time.
    void show(bool visible) noexcept;

private:
    void begin(ptr<IOleInPlaceSite> site);
    void enter_ui() noexcept;

    ControlCore& control_;
    IOleInPlaceActiveObject* active_object_;
    ptr<IOleInPlaceSite> site_;
    ptr<IOleInPlaceSiteWindowless> windowless_site_;
    ptr<IOleInPlaceFrame> frame_;
    ptr<IOleInPlaceUIWindow> document_;
    std::unique_ptr<ControlWindow> window_;
    RECT position_{};
    bool ui_active_ = false;
};

} // namespace com
