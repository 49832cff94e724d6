#pragma once
// Registration of Tolvane.dll: the registry scripts and the type library, machine-wide or, once
// DllInstall was called with "user", for the current user for the rest of the process.
#include <windows.h>

namespace tolvane {

HRESULT RegisterModule() noexcept;
HRESULT UnregisterModule() noexcept;
HRESULT InstallModule(bool install, const wchar_t* commandLine) noexcept;

} // namespace tolvane
