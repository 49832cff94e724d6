#pragma once
// The creatable classes of TolvaneSoap.dll and their registration.
#include "com/ClassFactory.h"
#include "com/ModuleRegistration.h"

#include <span>

namespace soapkit {

std::span<const com::ClassEntry> CreatableClasses() noexcept;

com::ModuleRegistration& Registration() noexcept;

} // namespace soapkit
