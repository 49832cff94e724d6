#include "Trace.h"

#include "TextFormat.h"
#include "com/HResultError.h"
#include "resources/Version.h"

#include <boost/format.hpp>

#include <cstdarg>
#include <cstdio>
#include <cwctype>
#include <atomic>
#include <memory>
#include <mutex>

namespace ostrel {
namespace {

struct TraceState {
    std::mutex mutex;
    std::unique_ptr<CTrace> trace;
    int level = TRACE_OFF;
    // The level that would write now (TRACE_OFF without a trace), for checks without the lock.
    std::atomic<int> wanted{TRACE_OFF};
    // Whether a trace exists, likewise.
    std::atomic<bool> open{false};

    void Publish() noexcept
    {
        wanted = trace ? level : TRACE_OFF;
        open = trace != nullptr;
    }
};

TraceState& State()
{
    // Never destroyed: worker threads may still trace while the module unloads.
    static TraceState* state = new TraceState;
    return *state;
}

std::string ToUtf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string result(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), n, nullptr, nullptr);
    return result;
}


void WriteLocked(std::wstring_view text, bool header)
{
    auto& state = State();
    std::lock_guard lock(state.mutex);
    if (state.trace)
        state.trace->Write(text, header);
}

} // namespace

CTrace::CTrace(std::wstring name, std::wstring path) : m_path(std::move(path)), m_name(std::move(name)) {}

CTrace::~CTrace() = default;

void CTrace::Write(std::wstring_view text, bool header) const
{
    std::wstring line;
    if (header) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        wchar_t stamp[32];
        swprintf(stamp, 32, L"%4i%02i%02i %02i:%02i:%02i", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                 now.wSecond);
        line.reserve(text.size() + m_name.size() + 24);
        line.append(stamp).append(L"\t[").append(m_name).append(L"]\t").append(text);
        if (line.size() > kTraceLineLimit)
            line.resize(kTraceLineLimit);
    } else {
        line.assign(text);
    }
    // Text mode, as the runtime writes text: line ends become CR LF.
    FILE* file = _wfopen(m_path.c_str(), L"a");
    if (!file)
        return;
    const std::string bytes = ToUtf8(line);
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

std::wstring ExpandEnvironment(std::wstring_view path)
{
    const std::wstring source(path);
    std::wstring expanded(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ExpandEnvironmentStringsW(source.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
        if (n == 0)
            return source;
        if (n <= expanded.size()) {
            expanded.resize(n - 1);
            return expanded;
        }
        expanded.resize(n);
    }
}

bool TraceCreate(std::wstring_view name, std::wstring_view path, bool append)
{
    auto& state = State();
    std::lock_guard lock(state.mutex);
    if (state.trace)
        return false;
    state.trace = std::make_unique<CTrace>(std::wstring(name), ExpandEnvironment(path));
    state.Publish();
    if (!append)
        if (FILE* file = _wfopen(state.trace->Path().c_str(), L"w"))
            fclose(file);
    return true;
}

bool TraceIsOpen()
{
    auto& state = State();
    std::lock_guard lock(state.mutex);
    return state.trace != nullptr;
}

void TraceClose()
{
    auto& state = State();
    std::unique_ptr<CTrace> closing;
    std::lock_guard lock(state.mutex);
    closing = std::move(state.trace);
    state.Publish();
}

int TraceLevelGet()
{
    auto& state = State();
    std::lock_guard lock(state.mutex);
    return state.level;
}

void TraceLevelSet(int level)
{
    auto& state = State();
    std::lock_guard lock(state.mutex);
    state.level = level;
    state.Publish();
}

bool TraceOpened() noexcept { return State().open.load(std::memory_order_relaxed); }

bool TraceWants(int level) noexcept
{
    const int wanted = State().wanted.load(std::memory_order_relaxed);
    return wanted != TRACE_OFF && level <= wanted;
}

void TraceFormat(const wchar_t* format, ...)
{
    if (!TraceOpened())
        return;
    va_list args;
    va_start(args, format);
    const std::wstring text = tolvane::FormatTextV(kTraceLineLimit, format, args);
    va_end(args);
    WriteLocked(text, true);
}

void TraceContinue(const wchar_t* format, ...)
{
    if (!TraceOpened())
        return;
    va_list args;
    va_start(args, format);
    const std::wstring text = tolvane::FormatTextV(kTraceLineLimit, format, args);
    va_end(args);
    WriteLocked(text, false);
}

void TraceBlock(std::wstring_view text)
{
    if (!TraceIsOpen())
        return;
    WriteLocked(L"------------------------------\n", false);
    WriteLocked(text, false);
    WriteLocked(L"\n------------------------------\n", false);
}

void TraceLog(int level, std::wstring_view message, std::wstring_view function, std::wstring_view /*file*/, int line,
              bool header)
{
    {
        auto& state = State();
        std::lock_guard lock(state.mutex);
        if (!state.trace || level > state.level)
            return;
    }
    try {
        if (function.empty()) {
            WriteLocked(message, header);
            return;
        }
        const std::wstring text =
            (boost::wformat(L"%1%(%2$d): %3%\n") % std::wstring(function) % line % std::wstring(message)).str();
        WriteLocked(text, header);
    } catch (...) {
        // Tracing never fails an operation.
    }
}

void TraceLogText(int level, std::wstring_view text, std::wstring_view function, std::wstring_view file, int line)
{
    TraceLog(level, text, function, file, line, true);
}

HRESULT TraceCheckHr(HRESULT hr, std::wstring_view message, std::wstring_view function, std::wstring_view file,
                     int line)
{
    if (FAILED(hr)) {
        try {
            std::wstring text(message);
            if (!text.empty())
                text += L' ';
            text += com::error_text(hr);
            TraceLog(TRACE_ERROR, text, function, file, line);
        } catch (...) {
        }
    }
    return hr;
}

HRESULT TraceCheckHr(HRESULT hr, std::wstring_view function, std::wstring_view file, int line)
{
    return TraceCheckHr(hr, {}, function, file, line);
}

int TraceLevelFromText(std::wstring_view value)
{
    std::wstring upper(value);
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(c));
    if (upper == L"INFORMATION" || upper == L"3")
        return TRACE_INFORMATION;
    if (upper == L"WARNING" || upper == L"2")
        return TRACE_WARNING;
    if (upper == L"ERROR" || upper == L"1")
        return TRACE_ERROR;
    return -1;
}

bool ApplyTraceOption(std::wstring_view name, std::wstring_view value, std::wstring_view tag)
{
    if (name == L"trace.file") {
        if (!value.empty())
            TraceCreate(tag, value, true);
        TraceLevelSet(TRACE_INFORMATION);
        TraceFormat(L"Tolvane version=%s\n", TOLVANE_WIDEN(TOLVANE_VERSION_TEXT));
        return true;
    }
    if (name == L"trace.level") {
        if (const int level = TraceLevelFromText(value); level >= 0)
            TraceLevelSet(level);
        return true;
    }
    return false;
}

} // namespace ostrel
