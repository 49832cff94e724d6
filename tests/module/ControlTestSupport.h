#pragma once
// The Tolvane control as a container meets it: made by the built Tolvane.dll's class object,
// placed on a site of the test's own, drawn into bitmaps whose pixels the tests read.
#include "com/ComPtr.h"
#include "com/Object.h"
#include "idl/Tolvane_h.h"

#include <ocidl.h>

#include <string>

namespace test {

// The class object of a class of the built Tolvane.dll (loaded once, never unloaded), or the
// HRESULT of DllGetClassObject for it.
HRESULT TolvaneClassObject(REFCLSID clsid, IClassFactory** factory);
// DllCanUnloadNow of the built Tolvane.dll.
HRESULT TolvaneCanUnloadNow();
// A new control from the DLL's class object (the test fails when there is none).
com::ptr<IConnectorCtrl> NewControl();

} // namespace test

template <>
struct com::base_interfaces<IOleInPlaceSiteWindowless> {
    using type = std::tuple<IOleInPlaceSiteEx, IOleInPlaceSite, IOleWindow>;
};
template <>
struct com::base_interfaces<IAdviseSinkEx> {
    using type = std::tuple<IAdviseSink>;
};

namespace test {

// A container's site: client site, in-place site (windowless too, when asked to be), the
// ambient UserMode, and a view sink. It notes what the control tells it.
class TestSite : public com::Object<TestSite, IOleClientSite, IOleInPlaceSiteWindowless, IDispatch, IAdviseSinkEx> {
public:
    // `window` is the container's window (may be null while nothing is activated in place).
    TestSite(HWND window, bool design_mode, bool windowless = false);

    bool design_mode;
    RECT position{10, 10, 110, 60};
    // What the control told the site.
    int activations = 0, deactivations = 0, ui_active = 0, shown = 0, invalidations = 0, saves = 0,
        view_changes = 0;
    DWORD activation_flags = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return ++saves, S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return ++shown, S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return ++activations, S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return ++ui_active, S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return --ui_active, S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return ++deactivations, S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
    // IOleInPlaceSiteEx
    HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL*, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL) override { return ++deactivations, S_OK; }
    HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }
    // IOleInPlaceSiteWindowless
    HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override { return windowless_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetCapture() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE SetCapture(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFocus() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE SetFocus(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDC(LPCRECT, DWORD, HDC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT, BOOL) override { return ++invalidations, S_OK; }
    HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN, BOOL) override { return ++invalidations, S_OK; }
    HRESULT STDMETHODCALLTYPE ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT, WPARAM, LPARAM, LRESULT*) override { return S_FALSE; }
    // IDispatch: the ambient properties
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override;
    // IAdviseSink: the view sink
    void STDMETHODCALLTYPE OnDataChange(FORMATETC*, STGMEDIUM*) override {}
    void STDMETHODCALLTYPE OnViewChange(DWORD, LONG) override { ++view_changes; }
    void STDMETHODCALLTYPE OnRename(IMoniker*) override {}
    void STDMETHODCALLTYPE OnSave() override {}
    void STDMETHODCALLTYPE OnClose() override {}
    void STDMETHODCALLTYPE OnViewStatusChange(DWORD) override {}

private:
    HWND window_;
    bool windowless_;
};

// A 32-bit bitmap selected into a memory device context, filled with one colour.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    COLORREF Pixel(int x, int y) const;
    // The smallest rectangle holding every pixel that is not `background`, within `area`;
    // empty when there is none.
    RECT Drawn(const RECT& area, COLORREF background) const;
    // Pixels in `area` darker than mid grey.
    int DarkPixels(const RECT& area) const;

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_, previous_;
    const DWORD* bits_ = nullptr;
};

} // namespace test
