#pragma once
// ControlAdvise: the sinks a container connects to a control, and the notifications they get.
//   - IOleObject::Advise: close, save and rename (an OLE advise holder);
//   - IDataObject::DAdvise: changes of the data the control renders (a data advise holder);
//   - IViewObject::SetAdvise: one sink told when the picture changes.
#include "ComPtr.h"

#include <oleidl.h>

namespace com {

class ControlAdvise {
public:
    // Made when first needed; throws hresult_error when OLE cannot make them.
    IOleAdviseHolder& object_sinks();
    IDataAdviseHolder& data_sinks();

    void set_view_sink(DWORD aspects, DWORD flags, IAdviseSink* sink);
    HRESULT get_view_sink(DWORD* aspects, DWORD* flags, IAdviseSink** sink) const noexcept;

    // The picture changed: the view sink hears it (only once, when it asked for ADVF_ONLYONCE).
    void view_changed() noexcept;
    // The data of `data` (the control's IDataObject) changed.
    void data_changed(IDataObject* data) noexcept;
    void closed() noexcept;

private:
    ptr<IOleAdviseHolder> object_sinks_;
    ptr<IDataAdviseHolder> data_sinks_;
    ptr<IAdviseSink> view_sink_;
    DWORD view_aspects_ = 0;
    DWORD view_flags_ = 0;
};

} // namespace com
