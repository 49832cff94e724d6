#pragma once
// com::hresult_error: the exception that carries a failed HRESULT inside the component (the
// automation error exception). How the boundary reports it depends on where it came from:
//   - check(hr): a callee failed. Whatever error information the callee left on the thread is
//     left there for our caller, untouched.
//   - hresult_error(code): our own failure without a description. Error information from
//     earlier is cleared, so that the caller does not read a stale description.
//   - hresult_error(code, description) or from_thread(code): reported with that description.
#include <windows.h>
#include <oaidl.h>

#include <exception>
#include <string>

namespace com {

class hresult_error : public std::exception {
public:
    explicit hresult_error(HRESULT code) noexcept;
    hresult_error(HRESULT code, std::wstring description, const IID& iid = IID_NULL);

    // A callee's failure, whose error information stays where the callee left it.
    static hresult_error propagated(HRESULT code) noexcept;
    // Takes the calling thread's error information, if any, as this error's own; for callers
    // that keep the description (to map it into a message of their own).
    static hresult_error from_thread(HRESULT code, const IID& iid = IID_NULL);

    HRESULT code() const noexcept { return code_; }
    const IID& iid() const noexcept { return iid_; }
    const std::wstring& description() const noexcept { return description_; }
    const char* what() const noexcept override { return "COM error"; }

    // Publishes the error information on the calling thread and returns the code.
    HRESULT report() const noexcept;

private:
    HRESULT code_;
    bool propagated_ = false;
    IID iid_ = IID_NULL;
    std::wstring description_;
    std::wstring source_;
};

inline void check(HRESULT hr)
{
    if (FAILED(hr))
        throw hresult_error::propagated(hr);
}

// The system's text for an HRESULT as traces show it: FormatMessage's text, or
// "IDispatch error #%d" for interface codes 0x80040200..0x8004FFFF, or "Unknown error 0x%0lX".
std::wstring error_text(HRESULT hr);

} // namespace com
