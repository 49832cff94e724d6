#include "ConnectTimeout.h"

#include <atomic>
#include <cstdlib>
#include <string>

namespace classicrfc {
namespace {

long long fromEnvironment()
{
    const char* seconds = std::getenv("CPIC_CONNECT_TIMEOUT");
    if (seconds != nullptr) {
        char* end = nullptr;
        const long value = std::strtol(seconds, &end, 10);
        if (end != seconds && *end == 0 && value > 0 && value < 86400)
            return value * 1000LL;
    }
    return 60000;
}

std::atomic<long long>& timeoutMs()
{
    static std::atomic<long long> ms{fromEnvironment()};
    return ms;
}

} // namespace

std::chrono::milliseconds ConnectTimeout::get()
{
    return std::chrono::milliseconds(timeoutMs().load());
}

void ConnectTimeout::set(std::chrono::milliseconds timeout)
{
    timeoutMs() = timeout.count();
}

} // namespace classicrfc
