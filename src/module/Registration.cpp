#include "Registration.h"

#include "ClassTable.h"
#include "com/Module.h"
#include "com/Registrar.h"

#include <atomic>
#include <cwchar>

namespace tolvane {
namespace {

constexpr wchar_t kAppId[] = L"{6A83179A-1485-4582-9205-F55C2537D558}";
constexpr wchar_t kLibId[] = L"{FBDBDBA5-518B-4146-A52F-455C0E03492D}";
// The control's OLEMISC flags, 0x20591: set client site first, invisible at run time, activate
// when visible, inside-out, can't link inside, recompose on resize.
constexpr wchar_t kControlMiscStatus[] = L"132497";

std::atomic<bool> g_perUser{false};

com::RegistryScope Scope() noexcept
{
    return g_perUser ? com::RegistryScope::user : com::RegistryScope::machine;
}

com::Registrar MakeRegistrar()
{
    com::Registrar registrar;
    registrar.add_replacement(L"MODULE", com::module_path());
    registrar.add_replacement(L"APPID", kAppId);
    registrar.add_replacement(L"LIBID", kLibId);
    registrar.add_replacement(L"OLEMISC", kControlMiscStatus);
    return registrar;
}

} // namespace

HRESULT RegisterModule() noexcept
{
    try {
        const com::Registrar registrar = MakeRegistrar();
        for (UINT script : RegistryScripts())
            if (HRESULT hr = registrar.run_resource(script, true, Scope()); FAILED(hr))
                return hr;
        return com::register_type_library(Scope());
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT UnregisterModule() noexcept
{
    try {
        const com::Registrar registrar = MakeRegistrar();
        HRESULT result = S_OK;
        for (UINT script : RegistryScripts())
            if (HRESULT hr = registrar.run_resource(script, false, Scope()); FAILED(hr) && SUCCEEDED(result))
                result = hr;
        const HRESULT typelib = com::unregister_type_library(Scope());
        return FAILED(result) ? result : typelib;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT InstallModule(bool install, const wchar_t* commandLine) noexcept
{
    // The whole string, terminator included: "User" switches, "users" does not.
    if (commandLine && _wcsicmp(commandLine, L"user") == 0)
        g_perUser = true;
    if (!install)
        return UnregisterModule();
    const HRESULT hr = RegisterModule();
    if (FAILED(hr))
        UnregisterModule();
    return hr;
}

} // namespace tolvane
