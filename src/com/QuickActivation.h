#pragma once
// IQuickActivate of an ActiveX control: a container hands over its site, its view sink and its
// ambient mode in one call, and learns the control's status flags. The control has no events
// and no property notifications, so there is nothing to connect for them.
#include "ControlPart.h"
#include "Object.h"

#include <ocidl.h>

namespace com {

class QuickActivation : public IQuickActivate, protected virtual ControlPart {
public:
    using interface_type = IQuickActivate;

    HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* reply) override;
    HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) override;
    HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override;
};

} // namespace com
