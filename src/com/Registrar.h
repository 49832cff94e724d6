#pragma once
// The registrar: runs registry scripts (.rgs, resource type REGISTRY) in register or unregister
// mode, machine-wide or for the current user, and registers the module's type library.
//
// Script syntax: root keys (HKCR, HKCU, HKLM) with nested key blocks;
//   [NoRemove|ForceRemove|Delete] name [= s 'text' | = d 'number'] [{ ... }]
//   val name = s 'text' | d 'number'
// %NAME% is replaced from the registrar's replacement map (%% gives %). Unregistration deletes
// ForceRemove keys whole, plain keys once they have no subkeys left, named values, and never
// NoRemove keys. In user scope HKCR means HKEY_CURRENT_USER\Software\Classes. Keys under HKCR
// outside CLSID (ProgIDs, AppIDs) are shared by the 32-bit and the 64-bit registry view: they
// stay while the other view still registers one of the script's classes.
#include <windows.h>

#include <map>
#include <string>
#include <string_view>

namespace com {

enum class RegistryScope { machine, user };

class Registrar {
public:
    void add_replacement(std::wstring name, std::wstring value) { replacements_[std::move(name)] = std::move(value); }

    HRESULT run(std::wstring_view script, bool install, RegistryScope scope) const noexcept;
    // Runs the REGISTRY resource `id` of this module.
    HRESULT run_resource(UINT id, bool install, RegistryScope scope) const noexcept;

private:
    std::map<std::wstring, std::wstring, std::less<>> replacements_;
};

// The type library embedded in this module (machine-wide, or for the current user through
// RegisterTypeLibForUser when oleaut32 has it).
HRESULT register_type_library(RegistryScope scope) noexcept;
HRESULT unregister_type_library(RegistryScope scope) noexcept;

} // namespace com
