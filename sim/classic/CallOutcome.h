#pragma once

#include "include/ClassicRfcAbi.h"

#include "RfcFailure.h"
#include "WireMessages.h"

#include <string>

namespace classicrfc {

// A call's outcome in the classic library's terms: RFC_OK; RFC_EXCEPTION with the ABAP
// exception's name; RFC_SYS_EXCEPTION with SYSTEM_FAILURE or COMMUNICATION_FAILURE when the
// partner ended the connection with it; RFC_FAILURE for the rest.
struct CallOutcome {
    RFC_RC code = RFC_OK;
    std::string exception;

    static CallOutcome of(const simwire::ErrorRecord& error);
};

// The gateway numbers codes and groups as the NetWeaver library does.
namespace GatewayCode {
constexpr int ok = 0, communicationFailure = 1, logonFailure = 2, abapRuntimeFailure = 3, abapException = 5, externalFailure = 15,
              executed = 16, notFound = 17;
}
namespace GatewayGroup {
constexpr int abapApplication = 1, abapRuntime = 2, logonFailure = 3, communication = 4, externalRuntime = 5, externalApplication = 6;
}

// A failure of the gateway client as the API's failure with the given code.
[[noreturn]] void rethrow(const simrfc::RfcFailure& failure, RFC_RC code);
// RFC_CLOSED: the partner ended the connection.
[[noreturn]] void closed(const std::string& message);

} // namespace classicrfc
