#include "InPlaceActivation.h"

#include "ControlCore.h"

namespace com {

HRESULT InPlaceActivation::activate(bool ui)
{
    if (!site_) {
        if (!control_.client_site())
            return E_UNEXPECTED;
        auto site = control_.client_site().try_query<IOleInPlaceSite>();
        if (!site)
            return E_NOINTERFACE;
        if (site->CanInPlaceActivate() != S_OK)
            return OLEOBJ_S_CANNOT_DOVERB_NOW;
        begin(std::move(site));
    }
    if (ui && !ui_active_)
        enter_ui();
    show(!control_.user_mode()); // again after OLEIVERB_HIDE
    control_.client_site()->ShowObject();
    return S_OK;
}

void InPlaceActivation::begin(ptr<IOleInPlaceSite> site)
{
    auto windowless = site.try_query<IOleInPlaceSiteWindowless>();
    if (windowless && windowless->CanWindowlessActivate() == S_OK) {
        BOOL no_redraw = FALSE;
        check(windowless->OnInPlaceActivateEx(&no_redraw, ACTIVATE_WINDOWLESS));
    } else {
        windowless = nullptr;
        check(site->OnInPlaceActivate());
    }
    site_ = std::move(site);
    windowless_site_ = std::move(windowless);
    try {
        OLEINPLACEFRAMEINFO frame_info{};
        frame_info.cb = sizeof frame_info;
        RECT clip{};
        check(site_->GetWindowContext(frame_.put(), document_.put(), &position_, &clip, &frame_info));
        if (!windowless_site_) {
            HWND parent = nullptr;
            check(site_->GetWindow(&parent));
            auto paint = [this](HDC dc, const RECT& bounds) { control_.draw(dc, bounds); };
            window_ = std::make_unique<ControlWindow>(parent, position_, clip, !control_.user_mode(), paint);
        }
    } catch (...) {
        deactivate();
        throw;
    }
}

void InPlaceActivation::enter_ui() noexcept
{
    ui_active_ = true;
    site_->OnUIActivate();
    if (frame_)
        frame_->SetActiveObject(active_object_, nullptr);
    if (document_)
        document_->SetActiveObject(active_object_, nullptr);
    if (frame_)
        frame_->SetBorderSpace(nullptr); // no tools of ours: the container keeps its own
}

void InPlaceActivation::ui_deactivate() noexcept
{
    if (!ui_active_)
        return;
    ui_active_ = false;
    if (frame_)
        frame_->SetActiveObject(nullptr, nullptr);
    if (document_)
        document_->SetActiveObject(nullptr, nullptr);
    site_->OnUIDeactivate(FALSE);
}

void InPlaceActivation::deactivate() noexcept
{
    if (!site_)
        return;
    ui_deactivate();
    window_.reset();
    frame_ = nullptr;
    document_ = nullptr;
    const ptr<IOleInPlaceSite> site = std::move(site_);
    if (const ptr<IOleInPlaceSiteWindowless> windowless = std::move(windowless_site_))
        windowless->OnInPlaceDeactivateEx(TRUE);
    else
        site->OnInPlaceDeactivate();
}

HRESULT InPlaceActivation::get_window(HWND* window) const noexcept
{
    if (!window)
        return E_POINTER;
    *window = window_ ? window_->handle() : nullptr;
    return window_ ? S_OK : E_FAIL;
}

void InPlaceActivation::set_rects(const RECT& position, const RECT& clip) noexcept
{
    position_ = position;
    if (window_)
        window_->place(position, clip);
}

void InPlaceActivation::invalidate() noexcept
{
    if (window_)
        window_->invalidate();
    else if (windowless_site_)
        windowless_site_->InvalidateRect(nullptr, TRUE);
}

void InPlaceActivation::show(bool visible) noexcept
{
    if (window_)
        window_->show(visible);
}

} // namespace com
