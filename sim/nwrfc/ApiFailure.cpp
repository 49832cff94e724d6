#include "ApiFailure.h"

#include "Text.h"

#include <cstring>

namespace nwrfc {

ApiFailure::ApiFailure(const simwire::ErrorRecord& record)
    : std::runtime_error(record.message), m_code(static_cast<RFC_RC>(record.code)),
      m_group(static_cast<RFC_ERROR_GROUP>(record.group)), m_key(record.key), m_record(record), m_fromPartner(true)
{
}

void ApiFailure::fill(RFC_ERROR_INFO& info) const
{
    clearErrorInfo(&info);
    info.code = m_code;
    info.group = m_group;
    copyTo(info.key, m_key);
    copyTo(info.message, std::string_view(what()));
    if (m_fromPartner) {
        copyTo(info.abapMsgClass, m_record.abapMsgClass);
        copyTo(info.abapMsgType, m_record.abapMsgType);
        copyTo(info.abapMsgNumber, m_record.abapMsgNumber);
        copyTo(info.abapMsgV1, m_record.abapMsgV1);
        copyTo(info.abapMsgV2, m_record.abapMsgV2);
        copyTo(info.abapMsgV3, m_record.abapMsgV3);
        copyTo(info.abapMsgV4, m_record.abapMsgV4);
    }
}

void invalidParameter(const std::string& message)
{
    throw ApiFailure(RFC_INVALID_PARAMETER, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_PARAMETER", message);
}

void invalidHandle(const std::string& message)
{
    throw ApiFailure(RFC_INVALID_HANDLE, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "RFC_INVALID_HANDLE", message);
}

void conversionFailure(const std::string& message)
{
    throw ApiFailure(RFC_CONVERSION_FAILURE, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "RFC_CONVERSION_FAILURE", message);
}

void illegalState(const std::string& message)
{
    throw ApiFailure(RFC_ILLEGAL_STATE, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "RFC_ILLEGAL_STATE", message);
}

void bufferTooSmall(const std::string& message)
{
    throw ApiFailure(RFC_BUFFER_TOO_SMALL, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, "RFC_BUFFER_TOO_SMALL", message);
}

void notFound(const std::string& key, const std::string& message)
{
    throw ApiFailure(RFC_NOT_FOUND, RFC_GROUP_EXTERNAL_RUNTIME_FAILURE, key, message);
}

void require(const void* argument, const char* name)
{
    if (argument == nullptr)
        invalidParameter(std::string("argument ") + name + " is null");
}

void clearErrorInfo(RFC_ERROR_INFO* info)
{
    if (info != nullptr)
        std::memset(info, 0, sizeof *info);
}

} // namespace nwrfc
