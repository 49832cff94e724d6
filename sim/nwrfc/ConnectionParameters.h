#pragma once

#include "Text.h"

#include "WireMessages.h"

#include <string>

namespace nwrfc {

// The parameters of RfcOpenConnection or RfcRegisterServer: as received (names and values in
// the caller's order and spelling, which sapsim keeps for tests), and as used (lower-case
// names, a destination's ini parameters first, then the caller's, the last of a name winning).
class ConnectionParameters {
public:
    static ConnectionParameters from(const RFC_CONNECTION_PARAMETER* parameters, unsigned count);

    const simwire::ParameterList& received() const { return m_received; }
    std::string get(const std::string& name) const;
    bool has(const std::string& name) const;
    // For the trace: every parameter, with the values of secrets left out.
    std::string traceText() const;

    static bool secret(const std::string& lowerName);

private:
    simwire::ParameterList m_received;
    simwire::ParameterList m_effective;
};

} // namespace nwrfc
