#pragma once
// One call as a session kind carries it over its transport. The common session code
// (ISessionImpl) owns it and drives it in three steps, on the threads SessionKind.h describes:
// Send and Complete on the session's own thread, Receive there too (synchronous) or on a worker
// of its own (asynchronous).
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
    // A message of the table that the client's method fails with besides the error state
    // (0: the method succeeds and the error state alone tells of the failure).
    unsigned failWith = 0;
};

class CIntCall {
public:
    virtual ~CIntCall() = default;

    // Session thread: reads the client's call object and sends the request. Transport failures
    // are recorded in Outcome() and reported by returning false; conversion failures are thrown
    // (CXTolvane) and end the method with their message, nothing sent.
    virtual bool Send() = 0;
    // Any thread: waits for the answer and keeps it inside this object. Never touches the
    // client's call object nor the session. Every failure is recorded in Outcome().
    virtual void Receive() noexcept = 0;
    // Session thread, after Receive: stores what was received into the client's call object.
    // Failures (a value that cannot be converted) are recorded in Outcome().
    virtual void Complete() noexcept = 0;
    // Any thread: makes a running Receive end as soon as it can.
    virtual void Abort() noexcept = 0;

    // Marks the call aborted, then aborts it.
    void RequestAbort() noexcept
    {
        m_abortRequested = true;
        Abort();
    }
    bool AbortRequested() const noexcept { return m_abortRequested; }

    CallOutcome& Outcome() noexcept { return m_outcome; }

protected:
    // A failure inside the component itself: told in the error state, and the client's method
    // fails with message `failWith`.
    void RecordInternalFailure(const std::wstring& groupText, const std::wstring& message, unsigned failWith) noexcept;
    // From a catch block: the exception in flight as such a failure. A value that could not be
    // converted is a conversion error with its own message; anything else an internal error,
    // told as `whatFailed` when it has nothing to say itself.
    void RecordCurrentException(const wchar_t* whatFailed) noexcept;

private:
    CallOutcome m_outcome;
    std::atomic<bool> m_abortRequested{false};
};

} // namespace tolvane
