#include "ConnectionPoint.h"

#include "Boundary.h"
#include "Bstr.h"
#include "Enumerator.h"

#include <algorithm>

namespace com {
namespace {

// What an EXCEPINFO says, its strings freed.
SinkFailure failure_of(HRESULT code, EXCEPINFO& exception)
{
    if (code == DISP_E_EXCEPTION && exception.pfnDeferredFillIn)
        exception.pfnDeferredFillIn(&exception);
    bstr description = bstr::attach(exception.bstrDescription);
    bstr source = bstr::attach(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    SinkFailure failure{code, description.str(), source.str()};
    if (code == DISP_E_EXCEPTION && FAILED(exception.scode))
        failure.code = exception.scode;
    return failure;
}

} // namespace

ptr<IGlobalInterfaceTable> global_interface_table()
{
    ptr<IGlobalInterfaceTable> table;
    check(CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER, IID_IGlobalInterfaceTable,
                           table.put_void()));
    return table;
}

SinkList::~SinkList()
{
    if (cookies_.empty())
        return;
    try {
        auto table = global_interface_table();
        for (DWORD cookie : cookies_)
            table->RevokeInterfaceFromGlobal(cookie);
    } catch (...) {
        // COM is gone on this thread: the table goes with the process.
    }
}

HRESULT SinkList::add(IUnknown* sink, DWORD* cookie) noexcept
{
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    return guard(ErrorSource{}, [&]() -> HRESULT {
        // The sink must answer the event interface, but it is kept as IDispatch: IDispatch
        // always marshals, while a dispinterface id marshals only with a registered type library.
        ptr<IUnknown> events;
        HRESULT hr = sink->QueryInterface(events_, events.put_void());
        if (hr == E_NOINTERFACE)
            return CONNECT_E_CANNOTCONNECT;
        if (FAILED(hr))
            return hr;
        ptr<IDispatch> dispatch = events.try_query<IDispatch>();
        if (!dispatch)
            return CONNECT_E_CANNOTCONNECT;
        DWORD new_cookie = 0;
        check(global_interface_table()->RegisterInterfaceInGlobal(dispatch.get(), IID_IDispatch, &new_cookie));
        std::lock_guard lock(mutex_);
        cookies_.push_back(new_cookie);
        *cookie = new_cookie;
        return S_OK;
    });
}

HRESULT SinkList::remove(DWORD cookie) noexcept
{
    return guard(ErrorSource{}, [&]() -> HRESULT {
        {
            std::lock_guard lock(mutex_);
            auto found = std::find(cookies_.begin(), cookies_.end(), cookie);
            if (found == cookies_.end())
                return CONNECT_E_NOCONNECTION;
            cookies_.erase(found);
        }
        global_interface_table()->RevokeInterfaceFromGlobal(cookie);
        return S_OK;
    });
}

std::vector<DWORD> SinkList::cookies() const
{
    std::lock_guard lock(mutex_);
    return cookies_;
}

size_t SinkList::size() const
{
    std::lock_guard lock(mutex_);
    return cookies_.size();
}

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* container, const IID& events)
    : container_(container), sinks_(std::make_shared<SinkList>(events))
{
}

ConnectionPoint::~ConnectionPoint() = default;

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IConnectionPoint))
        return E_NOINTERFACE;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

ULONG ConnectionPoint::AddRef() { return container_->AddRef(); }
ULONG ConnectionPoint::Release() { return container_->Release(); }

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid)
        return E_POINTER;
    *iid = sinks_->events();
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out)
{
    if (!out)
        return E_POINTER;
    return container_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(out));
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) { return sinks_->add(sink, cookie); }

HRESULT ConnectionPoint::Unadvise(DWORD cookie) { return sinks_->remove(cookie); }

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return guard(ErrorSource{}, [&] {
        auto table = global_interface_table();
        std::vector<CopyConnection::stored> connections;
        for (DWORD cookie : sinks_->cookies()) {
            ptr<IUnknown> sink;
            if (SUCCEEDED(table->GetInterfaceFromGlobal(cookie, IID_IUnknown, sink.put_void())))
                connections.push_back({std::move(sink), cookie});
        }
        auto enumerator = make<ConnectionEnumerator>(std::move(connections), share<IUnknown>(container_));
        *out = enumerator.detach();
    });
}

HRESULT SinkList::fire(DISPID id, std::span<const variant> args, const SinkFailureHandler& on_failure) noexcept
try {
    ptr<IGlobalInterfaceTable> table = global_interface_table();
    // DISPPARAMS takes the arguments last to first; the sinks must not change them.
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        reversed.push_back(it->get());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};

    // Sinks may advise or unadvise from inside their handler: walk a copy of the list and
    // skip the ones removed meanwhile.
    std::vector<DWORD> cookies;
    {
        std::lock_guard lock(mutex_);
        cookies = cookies_;
    }
    HRESULT result = S_OK;
    for (DWORD cookie : cookies) {
        {
            std::lock_guard lock(mutex_);
            if (std::find(cookies_.begin(), cookies_.end(), cookie) == cookies_.end())
                continue;
        }
        ptr<IDispatch> sink;
        if (FAILED(table->GetInterfaceFromGlobal(cookie, IID_IDispatch, sink.put_void())) || !sink)
            continue;
        EXCEPINFO exception{};
        result = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &exception, nullptr);
        SinkFailure failure = failure_of(result, exception);
        if (FAILED(result) && on_failure)
            on_failure(failure);
    }
    return result;
} catch (const hresult_error& e) {
    return e.code();
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
} catch (...) {
    return E_UNEXPECTED;
}

HRESULT ConnectionPointContainer::EnumConnectionPoints(IEnumConnectionPoints** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return guard(ErrorSource{}, [&] {
        std::vector<ptr<IConnectionPoint>> points;
        for (ConnectionPoint* point : points_)
            points.push_back(share<IConnectionPoint>(point));
        auto enumerator = make<ConnectionPointEnumerator>(std::move(points), share<IUnknown>(this));
        *out = enumerator.detach();
    });
}

HRESULT ConnectionPointContainer::FindConnectionPoint(REFIID iid, IConnectionPoint** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    for (ConnectionPoint* point : points_) {
        if (IsEqualIID(point->events(), iid)) {
            *out = point;
            point->AddRef();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

} // namespace com
