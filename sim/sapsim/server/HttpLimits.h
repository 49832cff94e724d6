#pragma once

#include <chrono>
#include <cstddef>

namespace sapsim {

struct HttpLimits {
    size_t maxBody = 64 * 1024 * 1024;
    size_t maxHeader = 16 * 1024;
    size_t maxConnections = 128;
    // A keep-alive connection may wait this long for its next request.
    std::chrono::seconds idleTimeout{60};
    // Reading one request body or writing one response may take this long.
    std::chrono::seconds transferTimeout{120};
};

} // namespace sapsim
