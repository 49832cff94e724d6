#include "CallOutcome.h"

#include "ApiFailure.h"

namespace classicrfc {

CallOutcome CallOutcome::of(const simwire::ErrorRecord& error)
{
    if (error.code == 0)
        return {};
    if (error.code == GatewayCode::abapException)
        return {RFC_EXCEPTION, error.key};
    if (error.code == simrfc::rcCommunicationFailure || error.group == simrfc::groupCommunicationFailure)
        return {RFC_SYS_EXCEPTION, "COMMUNICATION_FAILURE"};
    if (error.closes)
        return {RFC_SYS_EXCEPTION, "SYSTEM_FAILURE"};
    return {RFC_FAILURE, error.key};
}

void rethrow(const simrfc::RfcFailure& failure, RFC_RC code)
{
    throw ApiFailure(code, failure.record());
}

void closed(const std::string& message)
{
    throw ApiFailure(RFC_CLOSED, RFC_ERROR_COMMUNICATION, "RFC_CLOSED", message);
}

} // namespace classicrfc
