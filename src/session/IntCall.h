#pragma once
// One call in flight, as a session kind carries it over its transport. The common session code
// (ISessionImpl) owns it as the session's active call and runs it: Send on the client's thread,
// then Receive on the same thread (synchronous) or on a worker of its own (asynchronous).
#include <windows.h>

#include <atomic>
#include <string>

namespace tolvane {

// How a call ended, as the session's error state will show it.
struct CallOutcome {
    bool failed = false;
    long group = 0;
    std::wstring groupText;
    std::wstring message;
    bool closed = false; // the partner closed the connection
};

class CIntCall {
public:
    virtual ~CIntCall() = default;

    // Sends the request (client thread). Transport failures are recorded in Outcome() and
    // reported by returning false; conversion failures are thrown (CXTolvane) and end the
    // method with their message, nothing sent.
    virtual bool Send() = 0;
    // Waits for the answer and stores the results into the call object. Every failure,
    // conversions included, is recorded in Outcome(); nothing is thrown.
    virtual void Receive() noexcept = 0;
    // From another thread: makes a running Receive end as soon as it can.
    virtual void Abort() noexcept = 0;

    // Marks the call aborted, then aborts it.
    void RequestAbort() noexcept
    {
        m_abortRequested = true;
        Abort();
    }
    bool AbortRequested() const noexcept { return m_abortRequested; }

    CallOutcome& Outcome() noexcept { return m_outcome; }

private:
    CallOutcome m_outcome;
    std::atomic<bool> m_abortRequested{false};
};

// What the worker of an asynchronous call tells its session when the call has ended.
class CIntRfcAsyncCallback {
public:
    virtual void OnCallFinished(CIntCall* call, bool aborted, bool closed) = 0;

protected:
    ~CIntRfcAsyncCallback() = default;
};

} // namespace tolvane
