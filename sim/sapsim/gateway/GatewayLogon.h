#pragma once

#include "rfc/CallEnvironment.h"

#include "WireMessages.h"

namespace sapsim {

class UserStore;

// Decides a client's logon at the gateway with the users and tickets of the HTTP side, and
// masks the secrets in the parameters the client's library received.
class GatewayLogon {
public:
    struct Outcome {
        bool accepted = false;
        simwire::ErrorRecord error; // why it was refused
        Logon logon;
        bool passwordExpired = false;
        simwire::ParameterList maskedParameters;
    };

    static Outcome check(const simwire::ClientHello& hello, const UserStore& users, const SsoTicket& tickets);
    // Passwords and tickets replaced by "<hidden N chars, correct|wrong>" (tickets: valid|invalid).
    static simwire::ParameterList mask(const simwire::ParameterList& received, const Logon& logon,
                                       const UserStore& users, const SsoTicket& tickets);
};

} // namespace sapsim
