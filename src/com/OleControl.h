#pragma once
// IOleControl of an ActiveX control: the container reports ambient property changes here (the
// design or run mode among them). The control has no mnemonics and raises no events to freeze.
#include "ControlPart.h"
#include "Object.h"

#include <ocidl.h>

namespace com {

class OleControl : public IOleControl, protected virtual ControlPart {
public:
    using interface_type = IOleControl;

    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override
    {
        control().ambient_changed(id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL) override { return S_OK; }
};

} // namespace com
