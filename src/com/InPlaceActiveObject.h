#pragma once
// IOleInPlaceActiveObject of an ActiveX control that is UI active: the frame talks to it while
// it is the active object. A control without menus, tools, accelerators or dialogs has
// nothing to translate, resize or disable.
#include "ControlPart.h"
#include "Object.h"

namespace com {

template <>
struct base_interfaces<IOleInPlaceActiveObject> {
    using type = std::tuple<IOleWindow>;
};

class InPlaceActiveObject : public IOleInPlaceActiveObject, protected virtual ControlPart {
public:
    using interface_type = IOleInPlaceActiveObject;

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override { return control().in_place().get_window(window); }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
};

} // namespace com
