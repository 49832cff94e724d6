#pragma once

#include "ApiFailure.h"
#include "Trace.h"

#include <new>

namespace nwrfc {

// Every exported function runs its body through one of these: the error record is cleared
// first and filled from a failure; nothing escapes into the caller.
template <class Body>
RFC_RC guarded(RFC_ERROR_INFO* errorInfo, const char* function, Body&& body)
{
    clearErrorInfo(errorInfo);
    try {
        body();
        return RFC_OK;
    } catch (const ApiFailure& f) {
        if (errorInfo != nullptr)
            f.fill(*errorInfo);
        Trace::failure(function, f);
        return f.code();
    } catch (const std::bad_alloc&) {
        const ApiFailure f(RFC_MEMORY_INSUFFICIENT, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "RFC_MEMORY_INSUFFICIENT", "out of memory");
        if (errorInfo != nullptr)
            f.fill(*errorInfo);
        return f.code();
    } catch (const std::exception& e) {
        const ApiFailure f(RFC_UNKNOWN_ERROR, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "RFC_UNKNOWN_ERROR", e.what());
        if (errorInfo != nullptr)
            f.fill(*errorInfo);
        Trace::failure(function, f);
        return f.code();
    }
}

// For functions that return a handle: null on failure.
template <class Handle, class Body>
Handle guardedHandle(RFC_ERROR_INFO* errorInfo, const char* function, Body&& body)
{
    Handle result = nullptr;
    guarded(errorInfo, function, [&] { result = body(); });
    return result;
}

} // namespace nwrfc
