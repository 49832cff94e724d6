#include "Timeout.h"

#include <new>

namespace soapkit {

KernelHandle make_event(bool manual_reset)
{
    HANDLE event = CreateEventW(nullptr, manual_reset ? TRUE : FALSE, FALSE, nullptr);
    if (!event)
        throw std::bad_alloc();
    return KernelHandle(event);
}

Timeout::Timeout() : changed_(make_event(false)) {}

void Timeout::set(long milliseconds) noexcept
{
    milliseconds_ = milliseconds;
    SetEvent(changed_.get());
}

void Timeout::cancel() noexcept
{
    cancelled_ = true;
    SetEvent(changed_.get());
}

DWORD Timeout::remaining(ULONGLONG start) const noexcept
{
    if (cancelled_)
        return 0;
    const long limit = milliseconds_;
    if (limit == 0)
        return INFINITE;
    const ULONGLONG elapsed = GetTickCount64() - start;
    return elapsed >= static_cast<ULONGLONG>(limit) ? 0 : static_cast<DWORD>(limit - elapsed);
}

bool Timeout::wait(HANDLE done, ULONGLONG start) const noexcept
{
    const HANDLE handles[] = {done, changed_.get()};
    for (;;) {
        const DWORD left = remaining(start);
        if (left == 0)
            return WaitForSingleObject(done, 0) == WAIT_OBJECT_0;
        const DWORD woken = WaitForMultipleObjects(2, handles, FALSE, left);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken == WAIT_FAILED)
            return false;
        // The limit changed or ran out: measure again.
    }
}

} // namespace soapkit
