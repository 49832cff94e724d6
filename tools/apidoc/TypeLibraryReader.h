#pragma once
// TypeLibraryReader: reads a compiled type library (a .tlb, or the TYPELIB resource of a DLL)
// into the API model: every enumeration, interface, event interface and class in declaration
// order, with their members and help strings.
#include "ApiModel.h"

#include <oaidl.h>

namespace apidoc {

// widl takes no helpstring on enumeration values; the IDL gives each value its sentence as
// custom data under this GUID instead.
inline constexpr GUID kValueHelpGuid = {0xBC05C42E, 0x7DBE, 0x44CA, {0x99, 0xA1, 0x9B, 0x3E, 0x95, 0x06, 0x6A, 0xE1}};

class TypeLibraryReader {
public:
    // Throws std::runtime_error when the file holds no type library.
    static Library Read(const std::wstring& path);

private:
    static TypeEntry ReadType(ITypeInfo* info);
    static void ReadInterface(ITypeInfo* info, TypeEntry& entry);
    static void ReadMembers(ITypeInfo* info, TypeEntry& entry);
    static void ReadValues(ITypeInfo* info, TypeEntry& entry);
    static void ReadClass(ITypeInfo* info, TypeEntry& entry);
};

} // namespace apidoc
