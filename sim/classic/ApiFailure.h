#pragma once

#include "include/ClassicRfcAbi.h"

#include "WireMessages.h"

#include <stdexcept>
#include <string>

namespace classicrfc {

// A failure of one API call, carried to the exported function's boundary, which returns its
// code and leaves its record as the thread's last error (RfcLastErrorExU).
class ApiFailure : public std::runtime_error {
public:
    ApiFailure(RFC_RC code, RFC_ERROR_GROUP group, std::string key, const std::string& message)
        : std::runtime_error(message), m_code(code), m_group(group), m_key(std::move(key))
    {
    }
    // A failure the gateway reported, with the given return code.
    ApiFailure(RFC_RC code, const simwire::ErrorRecord& record);

    RFC_RC code() const { return m_code; }
    RFC_ERROR_GROUP group() const { return m_group; }
    const std::string& key() const { return m_key; }
    RFC_ERROR_INFO_EX record() const;

private:
    RFC_RC m_code;
    RFC_ERROR_GROUP m_group;
    std::string m_key;
};

// The classic library's group for a record in the gateway's (NetWeaver) numbering.
RFC_ERROR_GROUP groupOf(const simwire::ErrorRecord& record);

[[noreturn]] void invalidParameter(const std::string& message);
[[noreturn]] void invalidHandle(const std::string& message);
[[noreturn]] void conversionFailure(const std::string& message);
[[noreturn]] void programFailure(const std::string& key, const std::string& message);
// A pointer the caller must give.
void require(const void* argument, const char* name);

} // namespace classicrfc
