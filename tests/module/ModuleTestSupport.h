#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace test {

// The built Tolvane.dll, next to the test program.
inline std::wstring TolvaneDllPath()
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"Tolvane.dll";
}

} // namespace test
