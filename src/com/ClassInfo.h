#pragma once
// com::ProvideClassInfo<Self>: IProvideClassInfo2 for a class with an outgoing interface. Script
// hosts (WScript.CreateObject with a prefix, WScript.ConnectObject) and VBA's WithEvents ask an
// object for it to learn its coclass and the events interface to connect a sink to.
// Self declares `static const CLSID& class_id()` and `static const IID& source_interface()`.
#include "Dispatch.h"
#include "Object.h"

#include <ocidl.h>

namespace com {

template <>
struct base_interfaces<IProvideClassInfo2> {
    using type = std::tuple<IProvideClassInfo>;
};

template <class Self>
class ProvideClassInfo : public IProvideClassInfo2 {
public:
    using interface_type = IProvideClassInfo2;

    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        return hresult_of([&] {
            ITypeInfo* coclass = type_info(Self::class_id());
            coclass->AddRef();
            *info = coclass;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override
    {
        if (!guid)
            return E_POINTER;
        *guid = GUID_NULL;
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
            return E_INVALIDARG;
        *guid = Self::source_interface();
        return S_OK;
    }
};

} // namespace com
