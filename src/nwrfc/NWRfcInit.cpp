#include "NWRfcInit.h"

#include "session/Trace.h"

#include <boost/format.hpp>

#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <system_error>

namespace tolvane::nw {
namespace {

std::wstring Upper(std::wstring_view text)
{
    std::wstring upper(text);
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(c));
    return upper;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towupper(a[i]) != std::towupper(b[i]))
            return false;
    return true;
}

std::wstring ProcessPath()
{
    const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    const DWORD n = GetEnvironmentVariableW(L"PATH", value.data(), size);
    value.resize(n < size ? n : 0);
    return value;
}

} // namespace

void ExtendSearchPath(std::wstring_view directory)
{
    if (directory.empty())
        return;
    TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"adding SDK_PATH=%1%") % std::wstring(directory)).str());
    const std::wstring path = ProcessPath();
    if (Upper(path).find(Upper(directory)) != std::wstring::npos)
        return;
    const std::wstring extended = path.empty() ? std::wstring(directory) : path + L";" + std::wstring(directory);
    // The runtime's environment, which passes the change on to the process's own.
    _wputenv_s(L"PATH", extended.c_str());
    SetEnvironmentVariableW(L"PATH", extended.c_str());
}

const nwrfc::EntryPoints& BindLibrary()
{
    nwrfc::LoadFailure failure;
    const nwrfc::EntryPoints* rfc = nwrfc::Library::Bind(failure);
    if (!rfc) {
        TRACE_LOG(ostrel::TRACE_ERROR, (boost::wformat(L"cannot bind the NetWeaver RFC library: %1% (error %2%)") %
                                        failure.what % failure.error)
                                           .str());
        throw MessageError(msg::NetWeaverLibraryNotFound);
    }
    unsigned major = 0, minor = 0, patch = 0;
    rfc->RfcGetVersion(&major, &minor, &patch);
    TRACE_LOG(ostrel::TRACE_INFORMATION,
              (boost::wformat(L"got NWRFC library, version %1%.%2%.%3%") % major % minor % patch).str());
    return *rfc;
}

unsigned LibraryTraceLevel(std::wstring_view level) noexcept
{
    if (EqualsIgnoringCase(level, L"ERROR") || level == L"1")
        return 1;
    if (EqualsIgnoringCase(level, L"INFORMATION") || level == L"3")
        return 3;
    return 2;
}

void PassTraceOptions(const nwrfc::EntryPoints& rfc, std::wstring_view traceFile, std::wstring_view level)
{
    if (traceFile.empty())
        return;
    std::wstring directory = ostrel::ExpandEnvironment(std::filesystem::path(traceFile).parent_path().wstring());
    nwrfc::RFC_ERROR_INFO ignored{};
    rfc.RfcSetTraceDir(directory.data(), &ignored);
    rfc.RfcSetTraceLevel(nullptr, nullptr, LibraryTraceLevel(level), &ignored);
}

bool PassIniPath(const nwrfc::EntryPoints& rfc, std::wstring_view path, nwrfc::RFC_ERROR_INFO& record)
{
    const std::wstring expanded = ostrel::ExpandEnvironment(path);
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::path(expanded), error) || error)
        throw MessageError(msg::InvalidIniPath);
    return rfc.RfcSetIniPath(expanded.c_str(), &record) == nwrfc::RFC_OK && rfc.RfcReloadIniFile(&record) == nwrfc::RFC_OK;
}

} // namespace tolvane::nw
