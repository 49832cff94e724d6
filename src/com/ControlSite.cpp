#include "ControlSite.h"

#include <ocidl.h>

namespace com {

ControlSite::ControlSite(HWND container) : container_(container), frame_(make<InPlaceFrame>(container)) {}

ptr<IOleObject> ControlSite::embed(REFCLSID clsid)
{
    ptr<IOleObject> control;
    check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IOleObject), control.put_void()));
    control_ = control;
    try {
        check(control->SetClientSite(this));
        if (auto persist = control.try_query<IPersistStreamInit>())
            persist->InitNew();
        RECT area = client_area();
        check(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, container_, &area));
        in_place_ = control.try_query<IOleInPlaceObject>();
    } catch (...) {
        close();
        throw;
    }
    return control;
}

void ControlSite::fit() noexcept
{
    if (!in_place_)
        return;
    const RECT area = client_area();
    in_place_->SetObjectRects(&area, &area);
}

void ControlSite::close() noexcept
{
    if (in_place_)
        in_place_->InPlaceDeactivate();
    in_place_ = nullptr;
    if (ptr<IOleObject> control = std::move(control_)) {
        control->Close(OLECLOSE_NOSAVE);
        control->SetClientSite(nullptr);
    }
}

HRESULT ControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (!moniker)
        return E_POINTER;
    *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT ControlSite::GetContainer(IOleContainer** container)
{
    if (!container)
        return E_POINTER;
    *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT ControlSite::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = container_;
    return S_OK;
}

HRESULT ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                      LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    if (!frame || !document || !position || !clip || !info)
        return E_POINTER;
    frame_.copy_to(frame);
    *document = nullptr; // no document window between the frame and the control
    *position = *clip = client_area();
    info->fMDIApp = FALSE;
    info->hwndFrame = container_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT ControlSite::OnPosRectChange(LPCRECT position)
{
    if (!position)
        return E_POINTER;
    if (in_place_)
        in_place_->SetObjectRects(position, position);
    return S_OK;
}

RECT ControlSite::client_area() const noexcept
{
    RECT area{};
    GetClientRect(container_, &area);
    return area;
}

} // namespace com
