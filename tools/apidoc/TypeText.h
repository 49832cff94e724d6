#pragma once
// Types and default values of a type library written as a VBA user reads them.
#include <oaidl.h>

#include <string>

namespace apidoc {

// "String", "Long", "Boolean", "Variant", "Object", or the name of an interface or enumeration
// of the library; a pointer reads as what it points to; "" for no value (void, HRESULT).
std::wstring TypeText(ITypeInfo* context, const TYPEDESC& type);

// A parameter's default value as code would write it: "" for text, True/False for a Boolean,
// the number otherwise.
std::wstring DefaultText(const VARIANT& value, const std::wstring& type);

} // namespace apidoc
