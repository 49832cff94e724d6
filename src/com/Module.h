#pragma once
// The binary (DLL or test program) that holds this code: its instance handle, its path, and the
// lock count that DllCanUnloadNow reports (live objects plus IClassFactory::LockServer locks).
#include <windows.h>
#include <string>

namespace com {

HINSTANCE module_instance() noexcept;
std::wstring module_path();

void module_lock() noexcept;
void module_unlock() noexcept;
long module_lock_count() noexcept;

// A string from this module's string table; empty when the resource does not exist.
std::wstring load_resource_string(UINT id);

} // namespace com
