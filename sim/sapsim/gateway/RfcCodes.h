#pragma once

#include <string>

namespace sapsim {

// The return codes and error groups of the NetWeaver RFC library that the gateway reports.
namespace rfc {

enum Code {
    ok = 0,
    communicationFailure = 1,
    logonFailure = 2,
    abapRuntimeFailure = 3,
    abapMessage = 4,
    abapException = 5,
    closed = 6,
    timeout = 8,
    invalidProtocol = 11,
    externalFailure = 15,
    executed = 16,
    notFound = 17,
    authorizationFailure = 29,
};

enum Group {
    groupOk = 0,
    abapApplicationFailure = 1,
    abapRuntimeFailureGroup = 2,
    logonFailureGroup = 3,
    communicationFailureGroup = 4,
    externalRuntimeFailure = 5,
    externalApplicationFailure = 6,
    externalAuthorizationFailure = 7,
};

// "RFC_OK", "RFC_ABAP_EXCEPTION", ...; "RFC_RC_<n>" for numbers outside the library's list.
std::string codeName(int code);

} // namespace rfc
} // namespace sapsim
