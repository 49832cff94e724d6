#pragma once
// An event sink as a C++ client writes one: answers IDispatch and the event interface it is
// made for, counts invocations per dispatch id and remembers the thread they arrived on.
#include "com/ComPtr.h"

#include <oaidl.h>
#include <ocidl.h>

#include <atomic>
#include <functional>
#include <string>
#include <map>
#include <mutex>

namespace test {

class EventSink final : public IDispatch {
public:
    static com::ptr<EventSink> Create(const IID& events);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    int Calls(DISPID id) const;
    DWORD LastThread() const { return lastThread_; }
    const IID& Events() const { return events_; }
    // Runs inside Invoke, on the thread the event arrives on.
    std::function<void(DISPID, DISPPARAMS*)> onEvent;
    // When set, Invoke fails as a script handler's error does (DISP_E_EXCEPTION, 0x800A000D).
    std::wstring failWith;

private:
    explicit EventSink(const IID& events) : events_(events) {}

    IID events_;
    std::atomic<ULONG> references_{1};
    mutable std::mutex mutex_;
    std::map<DISPID, int> calls_;
    std::atomic<DWORD> lastThread_{0};
};

// Advises `sink` at `source`'s connection point for the events the sink was made for; the cookie.
DWORD Advise(IConnectionPointContainer* source, EventSink* sink);
template <class Source>
DWORD Advise(Source* source, EventSink* sink)
{
    return Advise(com::share(source).template query<IConnectionPointContainer>().get(), sink);
}

// Waits for `event` as a single-threaded apartment must: pumping, so that calls from other
// apartments into this one are delivered meanwhile. True when signalled within `timeoutMs`.
bool PumpUntil(HANDLE event, DWORD timeoutMs);

} // namespace test
