// Reading the registry back as a client's COM runtime finds it, and running regsvr32 on a
// built DLL: what the registration tests of every module share.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace test {

// A DLL of the build, next to the test program.
inline std::wstring BuiltDllPath(const wchar_t* fileName)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe);
    return path.substr(0, path.find_last_of(L'\\') + 1) + fileName;
}

// `view` (KEY_WOW64_32KEY, KEY_WOW64_64KEY) reads what a client of that bitness finds.
inline std::optional<std::wstring> ReadRegistryString(HKEY root, const std::wstring& key,
                                                      const wchar_t* value = nullptr, REGSAM view = 0)
{
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &h) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t data[1024];
    DWORD size = sizeof data;
    const LSTATUS status = RegGetValueW(h, nullptr, value, RRF_RT_REG_SZ, nullptr, data, &size);
    RegCloseKey(h);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(data);
}

inline bool RegistryKeyExists(HKEY root, const std::wstring& key, REGSAM view = 0)
{
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

// A program's exit code once it ended (at most a minute), or the reason it could not start with
// the top bit set.
inline DWORD RunProgram(std::wstring command)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return GetLastError() | 0x80000000u;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

// regsvr32's exit code (the one of this process's bitness unless `regsvr32` names another).
inline DWORD RunRegsvr32(const std::wstring& dllPath, const std::wstring& switches,
                         const std::wstring& regsvr32 = L"regsvr32.exe")
{
    return RunProgram(L"\"" + regsvr32 + L"\" /s " + switches + L" \"" + dllPath + L"\"");
}

} // namespace test
