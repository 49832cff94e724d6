#pragma once
// com::Dispatch<I>: IDispatch for a dual interface, through the type information of the type
// library embedded in this module. ITypeInfo::Invoke then applies the library's optional
// arguments, default values, default members and argument coercion exactly as declared.
#include <oaidl.h>

namespace com {

// The type information the module's type library has for `iid` (for a dual interface its
// interface half), cached per module. Throws hresult_error when the library does not describe it.
ITypeInfo* type_info(REFIID iid);
// Gives the cached type library and type information back; they load again when next needed.
void release_type_info() noexcept;
// DllCanUnloadNow: S_OK, with the cache released, once no object and no lock remains.
HRESULT can_unload_now() noexcept;

// IDispatch::Invoke through `info` on `object`. A property put by reference (Set x.Prop = v in
// a script) falls back to the plain put, which is all our properties declare, and a property
// asked for as a method (JScript's Enumerator asks for _NewEnum so) is read. A property
// called with arguments it does not take (call.Importing("X")) already reaches the default
// member of the object it returns inside ITypeInfo::Invoke.
HRESULT invoke(ITypeInfo* info, void* object, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
               EXCEPINFO* exception, UINT* arg_error) noexcept;

template <class I>
class Dispatch : public I {
public:
    using interface_type = I;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (index != 0)
            return DISP_E_BADINDEX;
        ITypeInfo* ti = lookup();
        if (!ti)
            return TYPE_E_ELEMENTNOTFOUND;
        ti->AddRef();
        *info = ti;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        ITypeInfo* ti = lookup();
        return ti ? ti->GetIDsOfNames(names, count, ids) : TYPE_E_ELEMENTNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* arg_error) override
    {
        ITypeInfo* ti = lookup();
        if (!ti)
            return TYPE_E_ELEMENTNOTFOUND;
        return invoke(ti, static_cast<I*>(this), id, flags, params, result, exception, arg_error);
    }

private:
    static ITypeInfo* lookup() noexcept
    {
        try {
            return type_info(__uuidof(I));
        } catch (...) {
            return nullptr;
        }
    }
};

} // namespace com
