#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace sapsim {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The command line of sapsim.
struct Options {
    unsigned short httpPort = 0;
    unsigned short gatewayPort = 0;
    std::string repository;
    std::string logFile;
    bool verbose = false;
    bool help = false;
    std::optional<size_t> maxBody;
    std::optional<size_t> maxConnections;

    static Options parse(const std::vector<std::string>& args);
    static const char* usage();
};

} // namespace sapsim
