#pragma once
// Connection points whose sinks live in the process's Global Interface Table, so that any
// thread (a call's worker, a server's listener) can fire an event and the sink is called in
// the apartment that advised it. The firing thread must have entered COM; a client thread in
// a single-threaded apartment receives the call while it pumps messages (or waits in
// CoWaitForMultipleHandles).
//
// A ConnectionPoint is a member of its container object and shares the container's
// reference count. The container derives from ConnectionPointContainer and registers its points.
#include "ComPtr.h"
#include "Variant.h"

#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace com {

// A sink whose handler failed: its HRESULT and, when it raised an exception (a script error),
// the description and source it reported.
struct SinkFailure {
    HRESULT code = S_OK;
    std::wstring description;
    std::wstring source;
};
using SinkFailureHandler = std::function<void(const SinkFailure&)>;

// The sinks of one connection point, kept as cookies of the Global Interface Table. The point
// owns it, and shares it with any thread that fires its events: a server's listening thread
// can go on firing while the object that holds the point is being released.
class SinkList {
public:
    explicit SinkList(const IID& events) noexcept : events_(events) {}
    // Revokes what is left in the table.
    ~SinkList();
    SinkList(const SinkList&) = delete;
    SinkList& operator=(const SinkList&) = delete;

    // Keeps a sink that answers the events interface (CONNECT_E_CANNOTCONNECT otherwise).
    HRESULT add(IUnknown* sink, DWORD* cookie) noexcept;
    HRESULT remove(DWORD cookie) noexcept;
    std::vector<DWORD> cookies() const;
    size_t size() const;

    // Invokes `id` (DISPATCH_METHOD, user-default locale) on every sink, in the order they
    // advised, from the calling thread. `args` are in call order. Returns the result of the
    // last invocation made, S_OK when there is no sink. Sinks that cannot be reached
    // (their apartment has ended) are skipped; a sink removed meanwhile is not called. A sink
    // that fails is told to `on_failure`, so that an error in a client's handler leaves a trace
    // instead of vanishing.
    HRESULT fire(DISPID id, std::span<const variant> args = {}, const SinkFailureHandler& on_failure = {}) noexcept;

    const IID& events() const noexcept { return events_; }

private:
    IID events_;
    mutable std::mutex mutex_;
    std::vector<DWORD> cookies_;
};

class ConnectionPoint : public IConnectionPoint {
public:
    // `container` is the owning object (not referenced: the point lives inside it).
    ConnectionPoint(IConnectionPointContainer* container, const IID& events);
    ~ConnectionPoint();
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

    // See SinkList::fire.
    HRESULT fire(DISPID id, std::span<const variant> args = {}, const SinkFailureHandler& on_failure = {}) noexcept
    {
        return sinks_->fire(id, args, on_failure);
    }

    const IID& events() const noexcept { return sinks_->events(); }
    size_t sink_count() const { return sinks_->size(); }
    // The sinks, for a thread that fires while this point's owner may go away.
    const std::shared_ptr<SinkList>& sinks() const noexcept { return sinks_; }

private:
    IConnectionPointContainer* container_;
    std::shared_ptr<SinkList> sinks_;
};

class ConnectionPointContainer : public IConnectionPointContainer {
public:
    using interface_type = IConnectionPointContainer;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

protected:
    void add_connection_point(ConnectionPoint& point) { points_.push_back(&point); }

private:
    std::vector<ConnectionPoint*> points_;
};

// The process's Global Interface Table.
ptr<IGlobalInterfaceTable> global_interface_table();

} // namespace com
