#pragma once

#include "include/ClassicRfcAbi.h"

#include "WireMessages.h"

#include <string>

namespace classicrfc {

// The options of RfcAcceptU, argv style: -a<program ID>, -g<gateway host>, -x<gateway service>
// (a port number or sapgwNN), -t (trace); a value may also follow as the next argument. A first
// argument that is no option is the program's name. Other options are kept and ignored.
class AcceptArguments {
public:
    static constexpr unsigned maxArguments = 64;

    static AcceptArguments parse(rfc_char_t** argv);

    const std::string& programId() const { return m_programId; }
    const std::string& gatewayHost() const { return m_gatewayHost; }
    const std::string& gatewayService() const { return m_gatewayService; }
    // The options as given ("-a" and its value, ...), which sapsim shows tests.
    const simwire::ParameterList& received() const { return m_received; }

private:
    std::string m_programId, m_gatewayHost, m_gatewayService;
    simwire::ParameterList m_received;
};

} // namespace classicrfc
