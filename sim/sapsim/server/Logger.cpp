#include "server/Logger.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <stdexcept>

namespace sapsim {

Logger::Logger(const std::string& file, bool verbose) : m_verbose(verbose)
{
    if (file.empty())
        return;
    m_file.open(file, std::ios::app | std::ios::binary);
    if (!m_file)
        throw std::runtime_error("cannot open log file " + file);
}

void Logger::line(const std::string& text)
{
    if (!enabled())
        return;
    const std::string entry = stamp() + " " + text + "\n";
    std::lock_guard lock(m_mutex);
    if (m_file.is_open())
        m_file << entry << std::flush;
    if (m_verbose)
        std::cerr << entry << std::flush;
}

void Logger::error(const std::string& text)
{
    const std::string entry = stamp() + " error: " + text + "\n";
    std::lock_guard lock(m_mutex);
    if (m_file.is_open())
        m_file << entry << std::flush;
    std::cerr << entry << std::flush;
}

std::string Logger::stamp() const
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm parts{};
    gmtime_s(&parts, &t);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", parts.tm_hour, parts.tm_min, parts.tm_sec, int(ms));
    return buf;
}

} // namespace sapsim
