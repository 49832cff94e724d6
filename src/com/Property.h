#pragma once
// The two halves of a plain property: hand a value out through an out parameter, take one in.
#include <windows.h>

namespace com {

template <class T, class Out>
HRESULT get_property(const T& member, Out* out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = static_cast<Out>(member);
    return S_OK;
}

template <class T, class In>
HRESULT put_property(T& member, In value) noexcept
{
    member = static_cast<T>(value);
    return S_OK;
}

} // namespace com
