#pragma once

#include "Text.h"

#include <string>

namespace nwrfc {

class ApiFailure;

// The library's own trace: one file per process, sapnwrfc_<pid>.trc, in the directory given by
// RfcSetTraceDir (the working directory until then). Level 1 writes failures, connections and
// registrations; 2 adds every call and transaction; 3 adds parameter names and sizes. Values
// never reach the trace, and of the logon parameters only the names of secrets do.
class Trace {
public:
    // The directory must exist (RFC_INVALID_PARAMETER otherwise); a file already open is closed.
    static void setDirectory(Uview directory);
    static void setLevel(unsigned level);
    static unsigned level();
    // Writes when the process-wide level or the connection's own level reaches `level`.
    static void write(unsigned level, const std::string& text, unsigned connectionLevel = 0);
    static bool enabled(unsigned level, unsigned connectionLevel = 0);
    static void failure(const char* function, const ApiFailure& failure);
    static std::wstring file();
};

} // namespace nwrfc
