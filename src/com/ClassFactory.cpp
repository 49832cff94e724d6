#include "ClassFactory.h"

namespace com {
namespace {

const ClassEntry* find_built(std::span<const ClassEntry> classes, REFCLSID clsid) noexcept
{
    for (const ClassEntry& entry : classes)
        if (IsEqualCLSID(*entry.clsid, clsid))
            return entry.create ? &entry : nullptr;
    return nullptr;
}

} // namespace

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!outer)
        return entry_.create(iid, out);
    if (!entry_.create_aggregated)
        return CLASS_E_NOAGGREGATION;
    return entry_.create_aggregated(outer, iid, out);
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
    const ClassEntry* entry = find_built(classes, clsid);
    if (!entry)
        return CLASS_E_CLASSNOTAVAILABLE;
    return guard(ErrorSource{}, [&] { return make<ClassFactory>(*entry)->QueryInterface(iid, out); });
}

HRESULT create_object(std::span<const ClassEntry> classes, REFCLSID clsid, REFIID iid, void** out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    const ClassEntry* entry = find_built(classes, clsid);
    return entry ? entry->create(iid, out) : CLASS_E_CLASSNOTAVAILABLE;
}

} // namespace com
