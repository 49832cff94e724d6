#include "gateway/RfcCodes.h"

#include <array>

namespace sapsim::rfc {

std::string codeName(int code)
{
    static const std::array<const char*, 34> names = {
        "RFC_OK", "RFC_COMMUNICATION_FAILURE", "RFC_LOGON_FAILURE", "RFC_ABAP_RUNTIME_FAILURE", "RFC_ABAP_MESSAGE",
        "RFC_ABAP_EXCEPTION", "RFC_CLOSED", "RFC_CANCELED", "RFC_TIMEOUT", "RFC_MEMORY_INSUFFICIENT",
        "RFC_VERSION_MISMATCH", "RFC_INVALID_PROTOCOL", "RFC_SERIALIZATION_FAILURE", "RFC_INVALID_HANDLE", "RFC_RETRY",
        "RFC_EXTERNAL_FAILURE", "RFC_EXECUTED", "RFC_NOT_FOUND", "RFC_NOT_SUPPORTED", "RFC_ILLEGAL_STATE",
        "RFC_INVALID_PARAMETER", "RFC_CODEPAGE_CONVERSION_FAILURE", "RFC_CONVERSION_FAILURE", "RFC_BUFFER_TOO_SMALL",
        "RFC_TABLE_MOVE_BOF", "RFC_TABLE_MOVE_EOF", "RFC_START_SAPGUI_FAILURE", "RFC_ABAP_CLASS_EXCEPTION",
        "RFC_UNKNOWN_ERROR", "RFC_AUTHORIZATION_FAILURE", "RFC_AUTHENTICATION_FAILURE", "RFC_CRYPTOLIB_FAILURE",
        "RFC_IO_FAILURE", "RFC_LOCKING_FAILURE"};
    if (code >= 0 && static_cast<size_t>(code) < names.size())
        return names[static_cast<size_t>(code)];
    return "RFC_RC_" + std::to_string(code);
}

} // namespace sapsim::rfc
