// The exports of TolvaneSoap.dll.
#include "Registration.h"
#include "com/Boundary.h"
#include "com/Dispatch.h"
#include "com/Module.h"

namespace {

// An exception nobody anticipated still reaches the caller as a failure with a description.
HRESULT ReportUnexpected(const com::ErrorSource& source) noexcept
{
    return com::report_error(E_UNEXPECTED, L"unexpected internal error in the SOAP component", source);
}

} // namespace

extern "C" {

STDAPI DllCanUnloadNow()
{
    return com::can_unload_now();
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return com::get_class_object(soapkit::CreatableClasses(), clsid, iid, out);
}

STDAPI DllRegisterServer()
{
    return soapkit::Registration().register_module();
}

STDAPI DllUnregisterServer()
{
    return soapkit::Registration().unregister_module();
}

STDAPI DllInstall(BOOL install, LPCWSTR commandLine)
{
    return soapkit::Registration().install(install != FALSE, commandLine);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        com::set_unexpected_exception_handler(&ReportUnexpected);
    }
    return TRUE;
}

} // extern "C"
