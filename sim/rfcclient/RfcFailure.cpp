#include "RfcFailure.h"

namespace simrfc {

RfcFailure RfcFailure::communication(const std::string& message)
{
    simwire::ErrorRecord e;
    e.code = rcCommunicationFailure;
    e.group = groupCommunicationFailure;
    e.key = "RFC_COMMUNICATION_FAILURE";
    e.message = message;
    e.closes = true;
    return RfcFailure(std::move(e));
}

RfcFailure RfcFailure::invalidParameter(const std::string& key, const std::string& message)
{
    simwire::ErrorRecord e;
    e.code = rcInvalidParameter;
    e.group = groupExternalRuntimeFailure;
    e.key = key;
    e.message = message;
    return RfcFailure(std::move(e));
}

} // namespace simrfc
