#include "EventSink.h"

namespace com {

HRESULT EventSink::QueryInterface(REFIID iid, void** out)
{
    if (out && IsEqualIID(iid, events_)) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    return Object::QueryInterface(iid, out);
}

HRESULT EventSink::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    return E_NOTIMPL;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* args, VARIANT* result, EXCEPINFO*, UINT*)
{
    if (result)
        VariantInit(result);
    if (!handler_)
        return S_OK;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    // Keeps the handler alive should it disconnect this sink while it runs.
    const Handler handler = handler_;
    return guard([&] { handler(id, args ? *args : none); });
}

EventConnection::EventConnection(IUnknown* source, ptr<EventSink> sink) : sink_(std::move(sink))
{
    auto container = share(source).query<IConnectionPointContainer>();
    check(container->FindConnectionPoint(sink_->events(), point_.put()));
    check(point_->Advise(static_cast<IDispatch*>(sink_.get()), &cookie_));
}

EventConnection::~EventConnection()
{
    sink_->disconnect();
    point_->Unadvise(cookie_);
}

} // namespace com
