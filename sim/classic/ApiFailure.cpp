#include "ApiFailure.h"

#include "WideText.h"

namespace classicrfc {

ApiFailure::ApiFailure(RFC_RC code, const simwire::ErrorRecord& record)
    : std::runtime_error(record.message), m_code(code), m_group(groupOf(record)), m_key(record.key)
{
}

RFC_ERROR_INFO_EX ApiFailure::record() const
{
    RFC_ERROR_INFO_EX info{};
    info.group = m_group;
    copyTo(info.key, m_key);
    copyTo(info.message, std::string(what()));
    return info;
}

RFC_ERROR_GROUP groupOf(const simwire::ErrorRecord& record)
{
    // The gateway numbers groups as the NetWeaver library does.
    switch (record.group) {
    case 1: return RFC_ERROR_APPLICATION_EXCEPTION;
    case 2: return RFC_ERROR_SYSTEM_FAILURE;
    case 3: return RFC_ERROR_LOGON_FAILURE;
    case 4: return RFC_ERROR_COMMUNICATION;
    case 5: return RFC_ERROR_PROGRAM;
    case 6: return RFC_ERROR_SYSTEM_FAILURE;
    case 7: return RFC_ERROR_LOGON_FAILURE;
    default: return RFC_ERROR_INTERNAL;
    }
}

void invalidParameter(const std::string& message)
{
    throw ApiFailure(RFC_INVALID_PARAMETER, RFC_ERROR_PROGRAM, "RFC_INVALID_PARAMETER", message);
}

void invalidHandle(const std::string& message)
{
    throw ApiFailure(RFC_INVALID_HANDLE, RFC_ERROR_PROGRAM, "RFC_INVALID_HANDLE", message);
}

void conversionFailure(const std::string& message)
{
    throw ApiFailure(RFC_CONVERSION, RFC_ERROR_PROGRAM, "RFC_CONVERSION", message);
}

void programFailure(const std::string& key, const std::string& message)
{
    throw ApiFailure(RFC_FAILURE, RFC_ERROR_PROGRAM, key, message);
}

void require(const void* argument, const char* name)
{
    if (argument == nullptr)
        invalidParameter(std::string("argument ") + name + " is null");
}

} // namespace classicrfc
