#pragma once
// The creatable classes of TolvaneSoap.dll and their registration, machine-wide or, once
// DllInstall was called with "user", for the current user for the rest of the process.
#include "com/ClassFactory.h"

#include <span>

namespace soapkit {

std::span<const com::ClassEntry> CreatableClasses() noexcept;

HRESULT RegisterModule() noexcept;
HRESULT UnregisterModule() noexcept;
HRESULT InstallModule(bool install, const wchar_t* commandLine) noexcept;

} // namespace soapkit
