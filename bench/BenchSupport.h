// Clock and memory readings shared by the hand-run benchmarks that measure inside one process.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstddef>
#include <vector>

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

// The middle of a set of timings (the upper middle of an even count).
inline double Median(std::vector<double> seconds)
{
    std::nth_element(seconds.begin(), seconds.begin() + seconds.size() / 2, seconds.end());
    return seconds[seconds.size() / 2];
}

// How often a benchmark repeats a read whose first, median and best time it reports.
constexpr int kTableReads = 11;

} // namespace bench
