#include "TypeText.h"

#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "com/Variant.h"

namespace apidoc {

namespace {

const wchar_t* BasicTypeName(VARTYPE vt)
{
    switch (vt) {
    case VT_BSTR: return L"String";
    case VT_I4:
    case VT_INT: return L"Long";
    case VT_I2: return L"Integer";
    case VT_UI1: return L"Byte";
    case VT_BOOL: return L"Boolean";
    case VT_R8: return L"Double";
    case VT_R4: return L"Single";
    case VT_DATE: return L"Date";
    case VT_CY: return L"Currency";
    case VT_VARIANT: return L"Variant";
    case VT_DISPATCH: return L"Object";
    case VT_UNKNOWN: return L"IUnknown";
    case VT_VOID:
    case VT_HRESULT: return L"";
    default: return nullptr;
    }
}

} // namespace

std::wstring TypeText(ITypeInfo* context, const TYPEDESC& type)
{
    if (type.vt == VT_PTR && type.lptdesc)
        return TypeText(context, *type.lptdesc);
    if (type.vt == VT_SAFEARRAY && type.lptdesc)
        return TypeText(context, *type.lptdesc) + L"()";
    if (type.vt == VT_USERDEFINED) {
        com::ptr<ITypeInfo> referenced;
        com::bstr name;
        if (SUCCEEDED(context->GetRefTypeInfo(type.hreftype, referenced.put())))
            referenced->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr);
        return name.empty() ? L"?" : name.str();
    }
    const wchar_t* name = BasicTypeName(type.vt);
    return name ? name : L"VT_" + std::to_wstring(type.vt);
}

std::wstring DefaultText(const VARIANT& value, const std::wstring& type)
{
    com::variant copy(value);
    if (type == L"Boolean")
        return V_I4(copy.as(VT_I4).addr()) != 0 ? L"True" : L"False";
    const com::variant text = copy.as(VT_BSTR, LOCALE_INVARIANT);
    const std::wstring_view view = V_BSTR(text.addr()) ? std::wstring_view(V_BSTR(text.addr())) : L"";
    if (type == L"String" || V_VT(&value) == VT_BSTR)
        return L"\"" + std::wstring(view) + L"\"";
    return std::wstring(view);
}

} // namespace apidoc
