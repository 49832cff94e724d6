#pragma once
// IOleInPlaceObjectWindowless of an ActiveX control: its window (none when windowless), its
// position, and deactivation. The control takes no input, so a windowless container's
// messages are all left to the container, and it is no drop target.
#include "ControlPart.h"
#include "Object.h"

#include <ocidl.h>

namespace com {

template <>
struct base_interfaces<IOleInPlaceObjectWindowless> {
    using type = std::tuple<IOleInPlaceObject, IOleWindow>;
};

class InPlaceObject : public IOleInPlaceObjectWindowless, protected virtual ControlPart {
public:
    using interface_type = IOleInPlaceObjectWindowless;

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override { return control().in_place().get_window(window); }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
    // IOleInPlaceObjectWindowless
    HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget** target) override;
};

} // namespace com
