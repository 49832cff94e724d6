#pragma once

#include "WireMessages.h"

#include <stdexcept>

namespace simrfc {

// The library return codes and error groups this client reports itself.
constexpr int rcCommunicationFailure = 1;
constexpr int rcInvalidParameter = 20;
constexpr int groupCommunicationFailure = 4;
constexpr int groupExternalRuntimeFailure = 5;

// A failure reported by the gateway (its error record) or found by this client (the
// connection broke, a parameter was wrong), in the form the RFC libraries report errors.
class RfcFailure : public std::runtime_error {
public:
    explicit RfcFailure(simwire::ErrorRecord record) : std::runtime_error(record.message), m_record(std::move(record)) {}
    const simwire::ErrorRecord& record() const { return m_record; }

    static RfcFailure communication(const std::string& message);
    static RfcFailure invalidParameter(const std::string& key, const std::string& message);

private:
    simwire::ErrorRecord m_record;
};

} // namespace simrfc
