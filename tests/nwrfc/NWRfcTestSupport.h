#pragma once
// NetWeaver sessions against sapsim's gateway through the stand-in library, as a C++ client
// uses them. The SOAP tests' helpers (Import, Set, Get, Text, ErrorOf) serve here too.
#include "SoapTestSupport.h"
#include "support/EventSink.h"

#include <string>
#include <vector>

namespace test {

// The stand-in's folder (for "nwrfc.path").
std::wstring StandInFolder();

// "ASHOST=127.0.0.1 SYSNR=00 GWSERV=<port>": sapsim's gateway in the library's own words.
std::wstring GatewayConnectString();

// A new NetWeaver session with the stand-in's folder as nwrfc.path, aimed at the gateway
// (plus `extra` in the connect string), with the logon data set; not connected.
com::ptr<IRfcSession> NewNWSession(Logon logon = {}, const std::wstring& extra = L"");
com::ptr<IRfcSession> ConnectedNWSession(Logon logon = {});

// name=value of each parameter the library received for this session's connection, in order.
std::vector<std::wstring> ReceivedParameters(ISession* session);

IRfcSystemData* SystemData(IRfcSession* session);

// What Z_SIM_COUNTER counts on the session's connection, this call included.
long Counter(ISession* session);
long RowCount(IFunctionCall* call, const wchar_t* table);
// Lets messages in for `ms` milliseconds.
void Pump(DWORD ms);

// Starts /SIM/ECHO in the background and pumps until its CallFinished: the echo must be in the
// call and the event on this thread. The sink stays advised and counts on.
com::ptr<EventSink> ExpectBackgroundEchoOnThisThread(ISession* session);

} // namespace test
