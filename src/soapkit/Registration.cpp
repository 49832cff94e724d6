#include "Registration.h"

#include "HttpTransport.h"
#include "SoapEnvelope.h"
#include "com/Module.h"
#include "com/Registrar.h"

#include <oleauto.h>

#include <atomic>
#include <cwchar>

namespace soapkit {
namespace {

constexpr wchar_t kLibId[] = L"{5A8EE7FF-3CB3-41CB-A75B-36A663A9CF90}";

const com::ClassEntry kClasses[] = {
    {&CLSID_SoapEnvelope, &com::create_instance<CSoapEnvelope>},
    {&CLSID_HttpTransport, &com::create_instance<CHttpTransport>},
};

// REGISTRY resources: 101 SoapEnvelope, 102 HttpTransport.
const UINT kScripts[] = {101, 102};

std::atomic<bool> g_perUser{false};

com::RegistryScope Scope() noexcept
{
    return g_perUser ? com::RegistryScope::user : com::RegistryScope::machine;
}

com::Registrar MakeRegistrar()
{
    com::Registrar registrar;
    registrar.add_replacement(L"MODULE", com::module_path());
    registrar.add_replacement(L"LIBID", kLibId);
    return registrar;
}

// Removing a type library that is not registered is no failure: unregistering twice, or after
// an installer removed it, succeeds.
HRESULT UnregisterTypeLibrary() noexcept
{
    GUID library{};
    BSTR path = nullptr;
    if (FAILED(CLSIDFromString(kLibId, &library)) || FAILED(QueryPathOfRegTypeLib(library, 1, 0, LOCALE_NEUTRAL, &path)))
        return S_OK;
    SysFreeString(path);
    return com::unregister_type_library(Scope());
}

} // namespace

std::span<const com::ClassEntry> CreatableClasses() noexcept { return kClasses; }

HRESULT RegisterModule() noexcept
{
    try {
        const com::Registrar registrar = MakeRegistrar();
        for (UINT script : kScripts)
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
        for (UINT script : kScripts)
            if (HRESULT hr = registrar.run_resource(script, false, Scope()); FAILED(hr) && SUCCEEDED(result))
                result = hr;
        const HRESULT typelib = UnregisterTypeLibrary();
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

} // namespace soapkit
