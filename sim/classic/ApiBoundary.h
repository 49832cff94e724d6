#pragma once

#include "ApiFailure.h"
#include "LastError.h"

#include <new>

namespace classicrfc {

// Every exported function runs its body through this: a failure becomes its return code and
// the thread's last error; nothing escapes into the caller.
template <class Body>
RFC_RC guarded(Body&& body)
{
    try {
        return body();
    } catch (const ApiFailure& f) {
        LastError::set(f);
        return f.code();
    } catch (const std::bad_alloc&) {
        LastError::set(ApiFailure(RFC_MEMORY_INSUFFICIENT, RFC_ERROR_RESOURCE, "RFC_MEMORY_INSUFFICIENT", "out of memory"));
        return RFC_MEMORY_INSUFFICIENT;
    } catch (const std::exception& e) {
        LastError::set(ApiFailure(RFC_FAILURE, RFC_ERROR_INTERNAL, "RFC_FAILURE", e.what()));
        return RFC_FAILURE;
    }
}

// For functions that report no code (handles, pointers, void): `fallback` on failure.
template <class Result, class Body>
Result guardedValue(Result fallback, Body&& body)
{
    Result result = fallback;
    guarded([&] {
        result = body();
        return RFC_OK;
    });
    return result;
}

} // namespace classicrfc
