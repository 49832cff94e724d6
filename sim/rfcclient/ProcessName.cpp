#include "ProcessName.h"

#include "Utf16.h"

#include <windows.h>

namespace simrfc {

std::string processName()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring p(path);
    const size_t slash = p.find_last_of(L"\\/");
    return toUtf8(slash == std::wstring::npos ? p : p.substr(slash + 1));
}

} // namespace simrfc
