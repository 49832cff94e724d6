#pragma once
// What the tests of both server kinds do as a server's client: advise a sink, read the event
// arguments, read the server's error state, and have sapsim's gateway call a registered program.
#include "EventSink.h"
#include "SimAdmin.h"
#include "com/ComPtr.h"
#include "idl/Tolvane_h.h"

#include <string>

namespace test {

// The events' dispatch ids.
enum ServerEvent : DISPID { OnCall = 1, OnLogon = 2, OnError = 3, OnCheck = 4, OnCommit = 5, OnRollback = 6, OnConfirm = 7 };

// Advises `sink` at the server's connection point for _RfcServerEvents.
void Advise(IConnectionPointContainer* server, EventSink* sink);

// The server's error flag and the message of its error object.
bool ServerFailed(IRfcServer* server);
std::wstring ServerMessage(IRfcServer* server);

// The event's argument, queried for the interface its handler needs.
template <class I>
com::ptr<I> Argument(DISPPARAMS* params)
{
    return com::share(V_DISPATCH(&params->rgvarg[0])).query<I>();
}

com::ptr<IRfcParameters> List(IFunctionCall* call, HRESULT (STDMETHODCALLTYPE IFunctionCall::*getter)(IRfcParameters**));

// Answers a call of STFC_STRUCTURE: ECHOSTRUCT-RFCCHAR4 as received in IMPORTSTRUCT, RESPTEXT
// "served by Tolvane", and one row more in RFCTABLE.
void AnswerStfcStructure(IFunctionCall* call);

// The gateway calls `function` on the program registered as `programId`, while this thread pumps.
AdminReply CallProgram(const std::wstring& programId, const std::wstring& function,
                       nlohmann::json values = nlohmann::json::object(), const std::string& user = "DEMO");

std::string Narrow(const std::wstring& text);

} // namespace test
