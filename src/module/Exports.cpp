// The exports of Tolvane.dll.
#include "ClassTable.h"
#include "Registration.h"
#include "com/Dispatch.h"
#include "com/Module.h"
#include "model/FieldBlock.h"
#include "session/Messages.h"

extern "C" {

STDAPI DllCanUnloadNow()
{
    const HRESULT hr = com::can_unload_now();
    if (hr == S_OK)
        tolvane::FieldBlock::ReleaseCache(); // no field is alive: the memory kept for rows goes back
    return hr;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return com::get_class_object(tolvane::CreatableClasses(), clsid, iid, out);
}

STDAPI DllRegisterServer()
{
    return tolvane::Registration().register_module();
}

STDAPI DllUnregisterServer()
{
    return tolvane::Registration().unregister_module();
}

STDAPI DllInstall(BOOL install, LPCWSTR commandLine)
{
    return tolvane::Registration().install(install != FALSE, commandLine);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        tolvane::InstallErrorPolicy();
    }
    return TRUE;
}

} // extern "C"
