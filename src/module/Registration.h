#pragma once
// Registration of Tolvane.dll: the registry scripts of its classes and its type library.
#include "com/ModuleRegistration.h"

namespace tolvane {

com::ModuleRegistration& Registration() noexcept;

} // namespace tolvane
