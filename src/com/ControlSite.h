#pragma once
// ControlSite hosts one control (an ActiveX control such as the web browser) in place inside a
// window of ours, filling its client area: the client site and in-place site the control talks
// to. The site and the control hold each other while the control is embedded; close() (also
// run by the destructor of whoever owns the site, never implicitly) breaks that cycle.
//
//   auto site = com::make<com::ControlSite>(window);
//   auto browser = site->embed(CLSID_WebBrowser).query<IWebBrowser2>();
//   ...                        // on WM_SIZE: site->fit();
//   site->close();             // before the window goes
#include "InPlaceFrame.h"
#include "Object.h"

#include <oleidl.h>

namespace com {

template <>
struct base_interfaces<IOleInPlaceSite> {
    using type = std::tuple<IOleWindow>;
};

class ControlSite : public Object<ControlSite, IOleClientSite, IOleInPlaceSite> {
public:
    explicit ControlSite(HWND container);

    // Creates the control, makes this its site and activates it in place over the container's
    // client area. Throws hresult_error when the control cannot be created or activated.
    ptr<IOleObject> embed(REFCLSID clsid);
    // Fits the control to the container's client area again (after the window was resized).
    void fit() noexcept;
    // Deactivates and closes the control and lets go of it; the site can then be released.
    void close() noexcept;

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) override;

private:
    RECT client_area() const noexcept;

    HWND container_;
    ptr<InPlaceFrame> frame_;
    ptr<IOleObject> control_;
    ptr<IOleInPlaceObject> in_place_;
};

} // namespace com
