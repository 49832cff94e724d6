#include "ClassFactory.h"

namespace com {

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return create_(iid, out);
}

HRESULT ClassFactory::LockServer(BOOL lock)
{
    if (lock)
        module_lock();
    else
        module_unlock();
    return S_OK;
}

HRESULT get_class_object(std::span<const ClassEntry> classes, REFCLSID clsid, REFIID iid, void** out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    for (const ClassEntry& entry : classes) {
        if (!IsEqualCLSID(*entry.clsid, clsid))
            continue;
        if (!entry.create)
            break;
        return guard(ErrorSource{}, [&] { return make<ClassFactory>(entry.create)->QueryInterface(iid, out); });
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

} // namespace com
