#pragma once

#include <map>
#include <mutex>
#include <string>

namespace nwrfc {

// Trace levels set for ini destinations, applied to connections opened to them later.
class DestinationTrace {
public:
    static void set(const std::string& destination, unsigned level);
    // The level set for the destination, or `fallback`.
    static unsigned get(const std::string& destination, unsigned fallback);
};

} // namespace nwrfc
