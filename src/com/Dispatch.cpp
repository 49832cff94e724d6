#include "Dispatch.h"

#include "ComPtr.h"
#include "HResultError.h"
#include "Module.h"

#include <oleauto.h>

#include <map>
#include <mutex>

namespace com {
namespace {

struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const noexcept { return memcmp(&a, &b, sizeof(GUID)) < 0; }
};

class TypeInfoCache {
public:
    ITypeInfo* get(REFIID iid)
    {
        std::lock_guard lock(mutex_);
        if (auto found = infos_.find(iid); found != infos_.end())
            return found->second.get();
        ptr<ITypeInfo> info = load(iid);
        ITypeInfo* raw = info.get();
        infos_.emplace(iid, std::move(info));
        return raw;
    }

    void clear() noexcept
    {
        std::lock_guard lock(mutex_);
        infos_.clear();
        library_ = nullptr;
    }

private:
    ptr<ITypeInfo> load(REFIID iid)
    {
        if (!library_)
            check(LoadTypeLibEx(module_path().c_str(), REGKIND_NONE, library_.put()));
        ptr<ITypeInfo> info;
        check(library_->GetTypeInfoOfGuid(iid, info.put()));
        return interface_half(std::move(info));
    }

    // For a dual interface the library hands out the dispinterface description; Invoke needs
    // the vtable description that it refers to.
    static ptr<ITypeInfo> interface_half(ptr<ITypeInfo> info)
    {
        TYPEATTR* attr = nullptr;
        check(info->GetTypeAttr(&attr));
        const bool dual = attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL);
        info->ReleaseTypeAttr(attr);
        if (!dual)
            return info;
        HREFTYPE ref = 0;
        check(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref));
        ptr<ITypeInfo> vtable_info;
        check(info->GetRefTypeInfo(ref, vtable_info.put()));
        return vtable_info;
    }

    std::mutex mutex_;
    ptr<ITypeLib> library_;
    std::map<GUID, ptr<ITypeInfo>, GuidLess> infos_;
};

TypeInfoCache& cache()
{
    // Never destroyed (static destructors run too late to release COM objects); emptied by
    // release_type_info() when the module may unload.
    static TypeInfoCache* instance = new TypeInfoCache;
    return *instance;
}

} // namespace

ITypeInfo* type_info(REFIID iid) { return cache().get(iid); }

void release_type_info() noexcept { cache().clear(); }

HRESULT can_unload_now() noexcept
{
    if (module_lock_count() != 0)
        return S_FALSE;
    release_type_info();
    return S_OK;
}

HRESULT invoke(ITypeInfo* info, void* object, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
               EXCEPINFO* exception, UINT* arg_error) noexcept
{
    HRESULT hr = info->Invoke(object, id, flags, params, result, exception, arg_error);
    if (hr != DISP_E_MEMBERNOTFOUND)
        return hr;
    if (flags == DISPATCH_PROPERTYPUTREF)
        return info->Invoke(object, id, DISPATCH_PROPERTYPUT, params, result, exception, arg_error);
    if (flags == DISPATCH_METHOD)
        return info->Invoke(object, id, DISPATCH_PROPERTYGET, params, result, exception, arg_error);
    return hr;
}

} // namespace com
