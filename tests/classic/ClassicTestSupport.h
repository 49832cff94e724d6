#pragma once
// Classic sessions against sapsim's gateway through the stand-in librfc32u.dll, found on the
// search path (ctest puts its folder there). The helpers of the SOAP and NetWeaver tests
// (Import, Set, Get, ErrorOf, GatewayConnectString, ReceivedParameters) serve here too.
#include "NWRfcTestSupport.h"

#include <string>

namespace test {

// A new classic session aimed at the gateway (plus `extra` in the connect string), with the
// logon data set; not connected.
com::ptr<IRfcSession> NewClassicSession(Logon logon = {}, const std::wstring& extra = L"");
com::ptr<IRfcSession> ConnectedClassicSession(Logon logon = {}, const std::wstring& extra = L"");

// Runs `body` with the process-wide trace written to a file of its own; returns the file's text.
template <class Body>
std::wstring TraceOf(ISession* session, Body&& body);
std::wstring StartTrace(ISession* session, const wchar_t* name);
std::wstring StopTrace(const std::wstring& path);

template <class Body>
std::wstring TraceOf(ISession* session, Body&& body)
{
    const std::wstring path = StartTrace(session, L"tolvane-classic-test.log");
    body();
    return StopTrace(path);
}

} // namespace test
