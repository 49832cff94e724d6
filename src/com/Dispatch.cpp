#include "Dispatch.h"

#include "ComPtr.h"
#include "HResultError.h"
#include "Module.h"
#include "Variant.h"

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
    // Never destroyed: type information may still be asked for while the module unloads.
    static TypeInfoCache* instance = new TypeInfoCache;
    return *instance;
}

// Whether `id` is a property getter declared without arguments (only its [out, retval]).
bool is_property_without_arguments(ITypeInfo* info, DISPID id)
{
    ptr<ITypeInfo2> info2 = share(info).try_query<ITypeInfo2>();
    UINT index = 0;
    if (!info2 || FAILED(info2->GetFuncIndexOfMemId(id, INVOKE_PROPERTYGET, &index)))
        return false;
    FUNCDESC* desc = nullptr;
    if (FAILED(info->GetFuncDesc(index, &desc)))
        return false;
    const bool without = desc->cParams <= 1;
    info->ReleaseFuncDesc(desc);
    return without;
}

// call.Importing("X"): Importing takes no argument, so the argument belongs to the default
// member (Item) of the collection it returns.
HRESULT invoke_default_member_of_result(ITypeInfo* info, void* object, DISPID id, DISPPARAMS* params,
                                        VARIANT* result, EXCEPINFO* exception, UINT* arg_error)
{
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    variant inner;
    HRESULT hr = info->Invoke(object, id, DISPATCH_PROPERTYGET, &none, inner.addr(), exception, arg_error);
    if (FAILED(hr))
        return hr;
    if (inner.vt() != VT_DISPATCH || !V_DISPATCH(inner.addr()))
        return DISP_E_BADPARAMCOUNT;
    return V_DISPATCH(inner.addr())
        ->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD, params, result,
                 exception, arg_error);
}

} // namespace

ITypeInfo* type_info(REFIID iid) { return cache().get(iid); }

HRESULT invoke(ITypeInfo* info, void* object, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
               EXCEPINFO* exception, UINT* arg_error) noexcept
{
    try {
        if (flags == DISPATCH_PROPERTYPUTREF) {
            HRESULT hr = info->Invoke(object, id, flags, params, result, exception, arg_error);
            if (hr != DISP_E_MEMBERNOTFOUND)
                return hr;
            flags = DISPATCH_PROPERTYPUT;
        }
        HRESULT hr = info->Invoke(object, id, flags, params, result, exception, arg_error);
        const bool get = (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) != 0;
        if (hr == DISP_E_BADPARAMCOUNT && get && params && params->cArgs > 0 && params->cNamedArgs == 0 &&
            is_property_without_arguments(info, id))
            return invoke_default_member_of_result(info, object, id, params, result, exception, arg_error);
        return hr;
    } catch (const hresult_error& e) {
        return e.code();
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace com
