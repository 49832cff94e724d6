#pragma once

#include "ConnectionParameters.h"
#include "Handles.h"

#include "RfcFailure.h"
#include "WireMessages.h"

#include <memory>

namespace nwrfc {

// A connection handle: a client logged on at the gateway, or a registered server program. The
// object lives from RfcOpenConnection or RfcRegisterServer until RfcCloseConnection; when the
// partner ends the connection the handle stays valid (RfcIsConnectionHandleValid says no) and
// every further use reports the closed connection.
class Connection : public Handled {
public:
    Connection(const ConnectionParameters& parameters, const simwire::SystemAttributes& attributes, bool server);

    bool server() const { return m_server; }
    virtual bool open() const = 0;
    const simwire::SystemAttributes& attributes() const { return m_attributes; }
    RFC_ATTRIBUTES rfcAttributes() const;
    unsigned traceLevel() const { return m_traceLevel; }
    void setTraceLevel(unsigned level) { m_traceLevel = level; }
    void trace(unsigned level, const std::string& text) const;
    // "connection <id>": never a parameter value.
    std::string label() const;
    // The file name of the program this library runs in.
    static std::string processName();

private:
    simwire::SystemAttributes m_attributes;
    std::string m_dest, m_host, m_sysNumber, m_programName;
    bool m_server;
    unsigned m_traceLevel = 0;
};

// Turns the client library's failures into the API's.
[[noreturn]] void rethrow(const simrfc::RfcFailure& failure);

} // namespace nwrfc
