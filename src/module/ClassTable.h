#pragma once
// The creatable classes of Tolvane.dll and the registry scripts that register them.
#include "com/ClassFactory.h"

#include <span>

namespace tolvane {

std::span<const com::ClassEntry> CreatableClasses() noexcept;

// REGISTRY resources run on registration, in order: one per creatable class (101 RfcSession,
// 114 SoapSession, 117 BSPApplication, 118 RfcServer, 119 ConnectorCtrl with the AppID,
// 120 NWRfcSession, 121 NWRfcServer) and 122, an HKCR block without keys.
std::span<const UINT> RegistryScripts() noexcept;

} // namespace tolvane
