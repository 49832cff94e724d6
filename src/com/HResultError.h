#pragma once
// com::hresult_error: the exception that carries a failed HRESULT inside the component, with
// the error information that came with it (the automation error exception). check() turns a
// failed HRESULT from a call into another object into one, keeping the callee's description,
// and the exception boundary hands both back to our own caller.
#include <windows.h>
#include <oaidl.h>

#include <exception>
#include <string>

namespace com {

class hresult_error : public std::exception {
public:
    explicit hresult_error(HRESULT code) noexcept;
    hresult_error(HRESULT code, std::wstring description, const IID& iid = IID_NULL);

    // Takes the calling thread's error information, if any, as this error's own.
    static hresult_error from_thread(HRESULT code, const IID& iid = IID_NULL);

    HRESULT code() const noexcept { return code_; }
    const IID& iid() const noexcept { return iid_; }
    const std::wstring& description() const noexcept { return description_; }
    const char* what() const noexcept override { return "COM error"; }

    // Publishes the error information on the calling thread and returns the code.
    HRESULT report() const noexcept;

private:
    HRESULT code_;
    IID iid_ = IID_NULL;
    std::wstring description_;
    std::wstring source_;
};

inline void check(HRESULT hr)
{
    if (FAILED(hr))
        throw hresult_error::from_thread(hr);
}

inline void check(HRESULT hr, const IID& iid)
{
    if (FAILED(hr))
        throw hresult_error::from_thread(hr, iid);
}

// The system's text for an HRESULT as traces show it: FormatMessage's text, or
// "IDispatch error #%d" for interface codes 0x80040200..0x8004FFFF, or "Unknown error 0x%0lX".
std::wstring error_text(HRESULT hr);

} // namespace com
