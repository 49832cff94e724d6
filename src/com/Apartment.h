#pragma once
// Waiting and working across apartments.
#include "HResultError.h"

#include <objbase.h>

#include <utility>

namespace com {

// Waits for `handle` as a single-threaded apartment must: calls from other apartments into this
// one (an event a worker is delivering) are dispatched meanwhile, so they cannot deadlock with
// the wait. True when the handle was signalled within `timeoutMs` (INFINITE waits for ever).
inline bool wait_pumping(HANDLE handle, DWORD timeoutMs = INFINITE) noexcept
{
    DWORD index = 0;
    HRESULT hr = CoWaitForMultipleHandles(COWAIT_DEFAULT, timeoutMs, 1, &handle, &index);
    if (hr == RPC_E_CALL_REJECTED || hr == CO_E_NOTINITIALIZED)
        return WaitForSingleObject(handle, timeoutMs) == WAIT_OBJECT_0;
    return hr == S_OK;
}

// A manual-reset event owned by this object.
class Event {
public:
    Event() : handle_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        if (!handle_)
            throw hresult_error(HRESULT_FROM_WIN32(GetLastError()));
    }
    ~Event() { CloseHandle(handle_); }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    HANDLE get() const noexcept { return handle_; }
    void set() noexcept { SetEvent(handle_); }
    bool is_set() const noexcept { return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }

private:
    HANDLE handle_;
};

// COM entered on this thread as a single-threaded apartment of its own, left when it goes.
class ApartmentScope {
public:
    ApartmentScope() noexcept : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ApartmentScope()
    {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    ApartmentScope(const ApartmentScope&) = delete;
    ApartmentScope& operator=(const ApartmentScope&) = delete;

private:
    HRESULT hr_;
};

} // namespace com
