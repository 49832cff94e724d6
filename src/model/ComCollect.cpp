#include "ComCollect.h"

#include "com/Variant.h"

namespace tolvane {

bool ReadCollectionIndex(const VARIANT& index, CollectionIndex& result)
{
    const VARIANT* value = &index;
    if (V_VT(value) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(value))
        value = V_VARIANTREF(value);
    if (V_VT(value) == VT_I4) {
        result.isPosition = true;
        result.position = V_I4(value);
        return true;
    }
    com::variant& converted = result.converted;
    if (SUCCEEDED(VariantChangeTypeEx(converted.addr(), const_cast<VARIANT*>(value), LOCALE_USER_DEFAULT, 0, VT_I4))) {
        result.isPosition = true;
        result.position = V_I4(converted.addr());
        return true;
    }
    result.isPosition = false;
    if (V_VT(value) == VT_BSTR) {
        result.key = com::view(V_BSTR(value));
        return true;
    }
    if (SUCCEEDED(VariantChangeTypeEx(converted.put(), const_cast<VARIANT*>(value), LOCALE_USER_DEFAULT, 0, VT_BSTR))) {
        result.key = com::view(V_BSTR(converted.addr()));
        return true;
    }
    return false;
}

} // namespace tolvane
