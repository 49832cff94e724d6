#pragma once
#include "support/Registry.h"

namespace test {

// The built Tolvane.dll, next to the test program.
inline std::wstring TolvaneDllPath() { return BuiltDllPath(L"Tolvane.dll"); }

} // namespace test
