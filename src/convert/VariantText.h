#pragma once
// The system's variant conversion as every conversion of this library uses it: under the
// current user's default locale, so that decimal separators and date formats in text follow
// the user's regional settings.
#include "com/Bstr.h"
#include "com/Variant.h"

#include <optional>
#include <string>

namespace tolvane {

// `in` converted to `type` into `out`; false (and `out` empty) when the system refuses.
inline bool ChangeVariantType(com::variant& out, const VARIANT& in, VARTYPE type) noexcept
{
    if (SUCCEEDED(VariantChangeTypeEx(out.put(), const_cast<VARIANT*>(&in), LOCALE_USER_DEFAULT, 0, type)))
        return true;
    out.clear();
    return false;
}

// The variant's text, or nothing when it has none.
inline std::optional<std::wstring> VariantText(const VARIANT& in)
{
    com::variant text;
    if (!ChangeVariantType(text, in, VT_BSTR))
        return std::nullopt;
    return std::wstring(com::view(V_BSTR(text.addr())));
}

} // namespace tolvane
