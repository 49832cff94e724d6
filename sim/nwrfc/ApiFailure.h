#pragma once

#include "include/NwRfcAbi.h"

#include "WireMessages.h"

#include <stdexcept>
#include <string>

namespace nwrfc {

// A failure of one API call, carried to the exported function's boundary, which writes it into
// the caller's RFC_ERROR_INFO and returns its code.
class ApiFailure : public std::runtime_error {
public:
    ApiFailure(RFC_RC code, RFC_ERROR_GROUP group, std::string key, const std::string& message)
        : std::runtime_error(message), m_code(code), m_group(group), m_key(std::move(key))
    {
    }
    // A failure the partner reported, with its ABAP message fields.
    explicit ApiFailure(const simwire::ErrorRecord& record);

    RFC_RC code() const { return m_code; }
    RFC_ERROR_GROUP group() const { return m_group; }
    const std::string& key() const { return m_key; }
    const simwire::ErrorRecord* partnerRecord() const { return m_fromPartner ? &m_record : nullptr; }

    void fill(RFC_ERROR_INFO& info) const;

private:
    RFC_RC m_code;
    RFC_ERROR_GROUP m_group;
    std::string m_key;
    simwire::ErrorRecord m_record;
    bool m_fromPartner = false;
};

[[noreturn]] void invalidParameter(const std::string& message);
[[noreturn]] void invalidHandle(const std::string& message);
[[noreturn]] void conversionFailure(const std::string& message);
[[noreturn]] void illegalState(const std::string& message);
[[noreturn]] void bufferTooSmall(const std::string& message);
[[noreturn]] void notFound(const std::string& key, const std::string& message);
// Checks a pointer argument the caller must give.
void require(const void* argument, const char* name);

void clearErrorInfo(RFC_ERROR_INFO* info);

} // namespace nwrfc
