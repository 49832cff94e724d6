#include "modules/SystemInfo.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace sapsim {
namespace {

std::tm utcNow()
{
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm parts{};
    gmtime_s(&parts, &t);
    return parts;
}

} // namespace

std::string SystemInfo::banner(const Logon& logon)
{
    return std::string("sapsim ") + systemId + " release " + release + " Logon_Data: " + logon.client + "/" +
           logon.user + "/" + logon.language;
}

std::string SystemInfo::today()
{
    const std::tm t = utcNow();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    return buf;
}

std::string SystemInfo::now()
{
    const std::tm t = utcNow();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d", t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

} // namespace sapsim
