#pragma once
// Owners of the descriptions an ITypeInfo hands out (FUNCDESC, VARDESC), released with it.
#include <oaidl.h>

#include <stdexcept>

namespace apidoc {

template <class Desc, HRESULT (STDMETHODCALLTYPE ITypeInfo::*Get)(UINT, Desc**),
          void (STDMETHODCALLTYPE ITypeInfo::*Release)(Desc*)>
class TypeInfoDesc {
public:
    TypeInfoDesc(ITypeInfo* info, UINT index) : info_(info)
    {
        if (FAILED((info->*Get)(index, &desc_)))
            throw std::runtime_error("a member of the type library cannot be read");
    }
    ~TypeInfoDesc() { (info_->*Release)(desc_); }
    TypeInfoDesc(const TypeInfoDesc&) = delete;
    TypeInfoDesc& operator=(const TypeInfoDesc&) = delete;

    const Desc* operator->() const { return desc_; }

private:
    ITypeInfo* info_;
    Desc* desc_ = nullptr;
};

using FuncDesc = TypeInfoDesc<FUNCDESC, &ITypeInfo::GetFuncDesc, &ITypeInfo::ReleaseFuncDesc>;
using VarDesc = TypeInfoDesc<VARDESC, &ITypeInfo::GetVarDesc, &ITypeInfo::ReleaseVarDesc>;

} // namespace apidoc
