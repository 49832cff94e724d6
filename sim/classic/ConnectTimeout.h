#pragma once

#include <chrono>

namespace classicrfc {

// The process-wide time allowed for reaching the gateway when a connection opens
// (RfcSetSystemTimeoutU), by default the environment's CPIC_CONNECT_TIMEOUT (seconds) or 60 s.
// It does not limit how long a call may take.
class ConnectTimeout {
public:
    static std::chrono::milliseconds get();
    static void set(std::chrono::milliseconds timeout);
};

} // namespace classicrfc
