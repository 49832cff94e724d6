// Clock and memory readings shared by the hand-run benchmarks that measure inside one process.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstddef>

namespace bench {

// Seconds from an arbitrary origin, with the resolution of the performance counter.
inline double Now()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(frequency.QuadPart);
}

// Committed private memory of the process.
inline size_t CommittedBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

} // namespace bench
