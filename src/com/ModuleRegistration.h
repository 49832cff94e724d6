#pragma once
// What DllRegisterServer, DllUnregisterServer and DllInstall do for a module: run its registry
// scripts in order and register its type library, machine-wide or, once DllInstall was called
// with "user", for the current user for the rest of the process.
#include "Registrar.h"

#include <atomic>
#include <initializer_list>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace com {

class ModuleRegistration {
public:
    // `scripts` are REGISTRY resource ids; %MODULE% is always replaced by the module's path.
    ModuleRegistration(std::vector<UINT> scripts,
                       std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> replacements);

    // Stops at the first failing script and returns its result.
    HRESULT register_module() const noexcept;
    // Runs every script in removal mode; the first failure is returned, after all ran.
    HRESULT unregister_module() const noexcept;
    // DllInstall: "user" (any letter case, the whole string) switches to per-user mode for the
    // process; a failed install is undone.
    HRESULT install(bool install, const wchar_t* command_line) noexcept;

private:
    RegistryScope scope() const noexcept { return per_user_ ? RegistryScope::user : RegistryScope::machine; }
    Registrar registrar() const;

    std::vector<UINT> scripts_;
    std::vector<std::pair<std::wstring, std::wstring>> replacements_;
    std::atomic<bool> per_user_{false};
};

} // namespace com
