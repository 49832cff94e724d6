#include "ControlAdvise.h"

#include <ole2.h>

namespace com {

IOleAdviseHolder& ControlAdvise::object_sinks()
{
    if (!object_sinks_)
        check(CreateOleAdviseHolder(object_sinks_.put()));
    return *object_sinks_;
}

IDataAdviseHolder& ControlAdvise::data_sinks()
{
    if (!data_sinks_)
        check(CreateDataAdviseHolder(data_sinks_.put()));
    return *data_sinks_;
}

void ControlAdvise::set_view_sink(DWORD aspects, DWORD flags, IAdviseSink* sink)
{
    view_sink_ = share(sink);
    view_aspects_ = sink ? aspects : 0;
    view_flags_ = sink ? flags : 0;
}

HRESULT ControlAdvise::get_view_sink(DWORD* aspects, DWORD* flags, IAdviseSink** sink) const noexcept
{
    if (aspects)
        *aspects = view_aspects_;
    if (flags)
        *flags = view_flags_;
    return sink ? view_sink_.copy_to(sink) : S_OK;
}

void ControlAdvise::view_changed() noexcept
{
    if (!view_sink_ || !(view_aspects_ & DVASPECT_CONTENT))
        return;
    const ptr<IAdviseSink> sink = view_sink_;
    if (view_flags_ & ADVF_ONLYONCE)
        set_view_sink(0, 0, nullptr);
    sink->OnViewChange(DVASPECT_CONTENT, -1);
}

void ControlAdvise::data_changed(IDataObject* data) noexcept
{
    if (data_sinks_)
        data_sinks_->SendOnDataChange(data, 0, 0);
}

void ControlAdvise::closed() noexcept
{
    if (object_sinks_)
        object_sinks_->SendOnClose();
}

} // namespace com
