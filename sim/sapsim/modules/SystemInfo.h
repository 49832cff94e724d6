#pragma once

#include "rfc/CallEnvironment.h"

#include <string>

namespace sapsim {

// What the simulated system says about itself.
class SystemInfo {
public:
    static constexpr const char* systemId = "SIM";
    static constexpr const char* host = "localhost";
    static constexpr const char* release = "750";
    static constexpr const char* codepage = "4103";

    static std::string banner(const Logon& logon);
    // Current UTC date YYYYMMDD and time HHMMSS.
    static std::string today();
    static std::string now();
};

} // namespace sapsim
