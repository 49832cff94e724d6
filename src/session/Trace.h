#pragma once
// The trace log: one process-wide text file (UTF-8) that every part of the component writes
// to once a client sets the option "trace.file". Each write opens the file, appends and closes
// it, so the file always holds every line written so far.
//
// Two families of entry points: printf-style ones (TraceFormat, TraceContinue, TraceBlock) that
// write whenever the log is open, and level-checked ones (TraceLog, TraceLogText, TraceCheckHr)
// that take a severity and a source position. Printf-style formats use %s for wide strings.
// A lock guards the process-wide trace: creation, deletion and every write.
#include <windows.h>

#include <string>
#include <string_view>

namespace ostrel {

enum TraceLevel : int { TRACE_OFF = 0, TRACE_ERROR = 1, TRACE_WARNING = 2, TRACE_INFORMATION = 3 };

// A line written with its header is cut to this many characters.
constexpr size_t kTraceLineLimit = 2048;

class CTrace {
public:
    // `path` is taken as it is; TraceCreate expands environment variables first.
    CTrace(std::wstring name, std::wstring path);
    virtual ~CTrace();

    // Appends `text`; with `header`, prefixed by the time stamp and the bracketed name.
    void Write(std::wstring_view text, bool header) const;

    const std::wstring& Path() const noexcept { return m_path; }
    const std::wstring& Name() const noexcept { return m_name; }

private:
    std::wstring m_path;
    std::wstring m_name;
};

// Creates the process-wide trace unless one exists (then returns false and changes nothing).
// Without `append` the file is emptied first.
bool TraceCreate(std::wstring_view name, std::wstring_view path, bool append);
bool TraceIsOpen();
void TraceClose();

int TraceLevelGet();
void TraceLevelSet(int level);
// Whether a line of `level` would be written now: a check without a lock, so that callers can
// leave the text of a line unmade when nobody reads it (TRACE_LOG does).
bool TraceWants(int level) noexcept;
// Whether a trace exists, checked the same way: for texts the printf-style entry points write.
bool TraceOpened() noexcept;

// printf-style, with the line header; no level check.
void TraceFormat(const wchar_t* format, ...);
// printf-style continuation of the current line, without header.
void TraceContinue(const wchar_t* format, ...);
// A block between two dashed lines, for documents such as SOAP envelopes.
void TraceBlock(std::wstring_view text);

// Level-checked: written when a trace exists and level <= the trace level. With a function
// name the message is written as "function(line): message\n".
void TraceLog(int level, std::wstring_view message, std::wstring_view function, std::wstring_view file, int line,
              bool header = true);
void TraceLogText(int level, std::wstring_view text, std::wstring_view function, std::wstring_view file, int line);
// Logs a failed HRESULT at level ERROR with `message`, a blank and the system's text for it;
// returns `hr` unchanged.
HRESULT TraceCheckHr(HRESULT hr, std::wstring_view message, std::wstring_view function, std::wstring_view file,
                     int line);
HRESULT TraceCheckHr(HRESULT hr, std::wstring_view function, std::wstring_view file, int line);

// The options "trace.file" and "trace.level" as sessions and servers act on them when set:
// "trace.file" opens the log under `tag` (after expanding environment variables; nothing for
// an empty value) and in every case sets level 3 and writes the version line; "trace.level"
// takes ERROR/1, WARNING/2, INFORMATION/3 in any letter case and ignores anything else.
// Returns false for any other option name (names are case-sensitive).
bool ApplyTraceOption(std::wstring_view name, std::wstring_view value, std::wstring_view tag);
// Just the "trace.level" rule: the level a value selects, or -1 when it selects none.
int TraceLevelFromText(std::wstring_view value);

// Expands %NAME% references of the process environment.
std::wstring ExpandEnvironment(std::wstring_view path);

} // namespace ostrel

namespace ostrel {
// A function's name (ASCII, as __func__ gives it) for the trace.
inline std::wstring FunctionName(const char* name) { return std::wstring(name, name + std::char_traits<char>::length(name)); }
} // namespace ostrel

#define TOLVANE_WIDEN2(x) L##x
#define TOLVANE_WIDEN(x) TOLVANE_WIDEN2(x)
// The message is only made when the line will be written.
#define TRACE_LOG(level, message)                                                                              \
    do {                                                                                                       \
        if (::ostrel::TraceWants(level))                                                                       \
            ::ostrel::TraceLog((level), (message), ::ostrel::FunctionName(__func__), TOLVANE_WIDEN(__FILE__), \
                               __LINE__);                                                                      \
    } while (false)
#define TRACE_CHECK_HR(hr, message) \
    ::ostrel::TraceCheckHr((hr), (message), ::ostrel::FunctionName(__func__), TOLVANE_WIDEN(__FILE__), __LINE__)
