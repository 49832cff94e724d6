#include "ModuleRegistration.h"

#include "Boundary.h"
#include "Module.h"

#include <cwchar>

namespace com {

ModuleRegistration::ModuleRegistration(std::vector<UINT> scripts,
                                       std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> replacements)
    : scripts_(std::move(scripts))
{
    for (const auto& [name, value] : replacements)
        replacements_.emplace_back(name, value);
}

Registrar ModuleRegistration::registrar() const
{
    Registrar registrar;
    registrar.add_replacement(L"MODULE", module_path());
    for (const auto& [name, value] : replacements_)
        registrar.add_replacement(name, value);
    return registrar;
}

HRESULT ModuleRegistration::register_module() const noexcept
{
    return hresult_of([&]() -> HRESULT {
        const Registrar scripts = registrar();
        for (UINT script : scripts_)
            if (HRESULT hr = scripts.run_resource(script, true, scope()); FAILED(hr))
                return hr;
        return register_type_library(scope());
    });
}

HRESULT ModuleRegistration::unregister_module() const noexcept
{
    return hresult_of([&]() -> HRESULT {
        const Registrar scripts = registrar();
        HRESULT result = S_OK;
        for (UINT script : scripts_)
            if (HRESULT hr = scripts.run_resource(script, false, scope()); FAILED(hr) && SUCCEEDED(result))
                result = hr;
        const HRESULT library = unregister_type_library(scope());
        return FAILED(result) ? result : library;
    });
}

HRESULT ModuleRegistration::install(bool install, const wchar_t* command_line) noexcept
{
    // The whole string, terminator included: "User" switches, "users" does not.
    if (command_line && _wcsicmp(command_line, L"user") == 0)
        per_user_ = true;
    if (!install)
        return unregister_module();
    const HRESULT hr = register_module();
    if (FAILED(hr))
        unregister_module();
    return hr;
}

} // namespace com
