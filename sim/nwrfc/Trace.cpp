#include "Trace.h"

#include "ApiFailure.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>

namespace nwrfc {
namespace {

struct TraceState {
    std::mutex mutex;
    std::wstring directory;
    FILE* file = nullptr;
    std::atomic<unsigned> level{0};
};

TraceState& state()
{
    static TraceState* s = new TraceState; // lives as long as the process
    return *s;
}

std::wstring fileIn(const std::wstring& directory)
{
    const std::wstring name = L"sapnwrfc_" + std::to_wstring(GetCurrentProcessId()) + L".trc";
    return directory.empty() ? name : (std::filesystem::path(directory) / name).wstring();
}

std::string stamp()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%03u [%lu] ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond, t.wMilliseconds, GetCurrentThreadId());
    return buf;
}

} // namespace

void Trace::setDirectory(Uview directory)
{
    std::error_code ec;
    if (directory.empty() || !std::filesystem::is_directory(std::filesystem::path(directory), ec))
        invalidParameter("trace directory '" + toUtf8(directory) + "' does not exist");
    TraceState& s = state();
    std::lock_guard lock(s.mutex);
    if (s.file != nullptr)
        std::fclose(s.file);
    s.file = nullptr;
    s.directory.assign(directory);
}

void Trace::setLevel(unsigned level)
{
    state().level = level;
}

unsigned Trace::level()
{
    return state().level;
}

bool Trace::enabled(unsigned level, unsigned connectionLevel)
{
    return level <= std::max<unsigned>(state().level, connectionLevel) && level > 0;
}

void Trace::write(unsigned level, const std::string& text, unsigned connectionLevel)
{
    if (!enabled(level, connectionLevel))
        return;
    TraceState& s = state();
    std::lock_guard lock(s.mutex);
    if (s.file == nullptr)
        s.file = _wfopen(fileIn(s.directory).c_str(), L"ab");
    if (s.file == nullptr)
        return;
    const std::string line = stamp() + text + "\n";
    std::fwrite(line.data(), 1, line.size(), s.file);
    std::fflush(s.file);
}

void Trace::failure(const char* function, const ApiFailure& f)
{
    if (enabled(1))
        write(1, std::string(function) + ": " + toUtf8(RfcGetRcAsString(f.code())) + " " + f.key() + ": " + f.what());
}

std::wstring Trace::file()
{
    TraceState& s = state();
    std::lock_guard lock(s.mutex);
    return fileIn(s.directory);
}

} // namespace nwrfc
