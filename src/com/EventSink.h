#pragma once
// Receiving the events of an object we use (the other direction of ConnectionPoint.h): an
// EventSink answers one outgoing dispinterface and hands every event to a handler, on the
// thread the source fires on; an EventConnection advises it for as long as it lives.
//
//   auto sink = com::make<com::EventSink>(DIID_DWebBrowserEvents2, [this](DISPID id, DISPPARAMS& args) { ... });
//   com::EventConnection connection(browser.get(), sink);
//
// The handler usually points back at its owner: the owner calls disconnect() (the destructor
// of EventConnection does) before it goes, so that a late event finds no handler.
#include "Object.h"

#include <ocidl.h>

#include <functional>

namespace com {

class EventSink : public Object<EventSink, IDispatch> {
public:
    using Handler = std::function<void(DISPID id, DISPPARAMS& args)>;

    EventSink(const IID& events, Handler handler) : events_(events), handler_(std::move(handler)) {}

    // Events arriving from now on are dropped.
    void disconnect() noexcept { handler_ = nullptr; }
    const IID& events() const noexcept { return events_; }

    // Answers the event interface too: sources ask for it when a sink advises.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* args, VARIANT* result, EXCEPINFO*,
                                     UINT*) override;

private:
    IID events_;
    Handler handler_;
};

// A sink advised at the source's connection point for the sink's event interface.
class EventConnection {
public:
    // Throws hresult_error when the source has no such connection point or refuses the sink.
    EventConnection(IUnknown* source, ptr<EventSink> sink);
    ~EventConnection();
    EventConnection(const EventConnection&) = delete;
    EventConnection& operator=(const EventConnection&) = delete;

private:
    ptr<EventSink> sink_;
    ptr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

} // namespace com
