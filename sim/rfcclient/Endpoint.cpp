#include "Endpoint.h"

#include "RfcFailure.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>

namespace simrfc {
namespace {

bool digitsOnly(const std::string& s, size_t maxSize)
{
    return !s.empty() && s.size() <= maxSize && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

Endpoint Endpoint::from(const std::string& host, const std::string& systemNumber, const std::string& service)
{
    if (host.empty())
        throw RfcFailure::invalidParameter("RFC_INVALID_PARAMETER", "no host given (ashost or gwhost)");
    Endpoint e{host, 0};
    std::string lower = service;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    if (digitsOnly(lower, 5) && std::stoul(lower) >= 1 && std::stoul(lower) <= 65535)
        e.port = static_cast<unsigned short>(std::stoul(lower));
    else if (lower.size() == 7 && lower.starts_with("sapgw") && digitsOnly(lower.substr(5), 2))
        e.port = static_cast<unsigned short>(3300 + std::stoul(lower.substr(5)));
    else if (!service.empty())
        throw RfcFailure::invalidParameter("RFC_INVALID_PARAMETER", "gateway service '" + service + "' is neither a port nor sapgwNN");
    else if (digitsOnly(systemNumber, 2))
        e.port = static_cast<unsigned short>(3300 + std::stoul(systemNumber));
    else
        throw RfcFailure::invalidParameter("RFC_INVALID_PARAMETER",
                                           systemNumber.empty() ? "no system number (sysnr) or gateway service (gwserv) given"
                                                                : "system number '" + systemNumber + "' is not two digits");
    return e;
}

std::string localTid()
{
    static std::atomic<unsigned long long> counter{0};
    static const unsigned long long salt = [] {
        std::random_device device;
        return (static_cast<unsigned long long>(device()) << 32) ^ device() ^
               static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    }();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%08llX%016llX", (salt >> 32) & 0xFFFFFFFFull, (salt << 24) ^ ++counter);
    return buf;
}

} // namespace simrfc
