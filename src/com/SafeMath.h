#pragma once
// Size arithmetic on numbers that come from outside (a peer's lengths, a response's shape, a
// client's counts): a result that does not fit its type is refused with E_INVALIDARG instead of
// wrapping around into a small allocation that the following writes overrun.
#include "HResultError.h"

#include <concepts>
#include <limits>
#include <utility>

namespace com {

[[noreturn]] inline void size_overflow()
{
    throw hresult_error(E_INVALIDARG, L"the size this input needs is larger than the component can hold");
}

template <std::integral T>
T checked_mul(T a, T b)
{
    T product{};
    if (__builtin_mul_overflow(a, b, &product))
        size_overflow();
    return product;
}

template <std::integral T>
T checked_add(T a, T b)
{
    T sum{};
    if (__builtin_add_overflow(a, b, &sum))
        size_overflow();
    return sum;
}

// `value` as a `To`, refused when it is out of To's range.
template <std::integral To, std::integral From>
To checked_cast(From value)
{
    if (!std::in_range<To>(value))
        size_overflow();
    return static_cast<To>(value);
}

} // namespace com
