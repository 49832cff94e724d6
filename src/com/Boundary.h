#pragma once
// The one exception boundary of every automation method: the body runs inside guard(), which
// turns whatever it throws into the HRESULT and error information the caller should see.
//   - hresult_error: its own code and the error information that came with it;
//   - reportable_error (the component's own exceptions): whatever its report() publishes;
//   - std::bad_alloc: E_OUTOFMEMORY;
//   - anything else: the binary's handler for unexpected exceptions (E_UNEXPECTED until the
//     binary installs its own at start-up).
#include "ErrorInfo.h"
#include "HResultError.h"

#include <new>
#include <utility>

namespace com {

class reportable_error {
public:
    virtual ~reportable_error() = default;
    // Publishes the error information for `source` and returns the HRESULT.
    virtual HRESULT report(const ErrorSource& source) const noexcept = 0;
};

using UnexpectedExceptionHandler = HRESULT (*)(const ErrorSource& source) noexcept;
void set_unexpected_exception_handler(UnexpectedExceptionHandler handler) noexcept;
// The result of an exception nobody expected, by the installed handler.
HRESULT report_unexpected_exception(const ErrorSource& source) noexcept;

template <class Body>
HRESULT guard(const ErrorSource& source, Body&& body) noexcept
{
    try {
        if constexpr (std::is_void_v<decltype(body())>) {
            std::forward<Body>(body)();
            return S_OK;
        } else {
            return std::forward<Body>(body)();
        }
    } catch (const hresult_error& e) {
        return e.report();
    } catch (const reportable_error& e) {
        return e.report(source);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return report_unexpected_exception(source);
    }
}

// The HRESULT of a body that reports to no automation caller (registration, module entry
// points): the code of an hresult_error, E_OUTOFMEMORY, E_UNEXPECTED for anything else; no
// error information is published.
template <class Body>
HRESULT hresult_of(Body&& body) noexcept
{
    try {
        return std::forward<Body>(body)();
    } catch (const hresult_error& e) {
        return e.code();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// An out parameter must be given.
template <class T>
void require_out(T* out)
{
    if (!out)
        throw hresult_error(E_POINTER);
}

} // namespace com
