#include "EventSink.h"

#include <objbase.h>
#include <gtest/gtest.h>
#include <oleauto.h>

namespace test {

com::ptr<EventSink> EventSink::Create(const IID& events)
{
    return com::ptr<EventSink>::attach(new EventSink(events));
}

HRESULT EventSink::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, events_))
        return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG EventSink::Release()
{
    const ULONG remaining = --references_;
    if (remaining == 0)
        delete this;
    return remaining;
}

HRESULT EventSink::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO* exception, UINT*)
{
    {
        std::lock_guard lock(mutex_);
        ++calls_[id];
    }
    lastThread_ = GetCurrentThreadId();
    if (onEvent)
        onEvent(id, params);
    if (failWith.empty() || !exception)
        return S_OK;
    *exception = {};
    exception->scode = static_cast<SCODE>(0x800A000D);
    exception->bstrDescription = SysAllocString(failWith.c_str());
    exception->bstrSource = SysAllocString(L"test handler");
    return DISP_E_EXCEPTION;
}

int EventSink::Calls(DISPID id) const
{
    std::lock_guard lock(mutex_);
    auto found = calls_.find(id);
    return found == calls_.end() ? 0 : found->second;
}

DWORD Advise(IConnectionPointContainer* source, EventSink* sink)
{
    com::ptr<IConnectionPoint> point;
    EXPECT_EQ(source->FindConnectionPoint(sink->Events(), point.put()), S_OK);
    DWORD cookie = 0;
    if (point) {
        EXPECT_EQ(point->Advise(sink, &cookie), S_OK);
    }
    return cookie;
}

bool PumpUntil(HANDLE event, DWORD timeoutMs)
{
    DWORD index = 0;
    return CoWaitForMultipleHandles(0, timeoutMs, 1, &event, &index) == S_OK;
}

} // namespace test
