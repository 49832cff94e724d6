#pragma once
// What the tests of both server kinds do as a server's client: advise a sink, read the event
// arguments, read the server's error state, and have sapsim's gateway call a registered program.
#include "EventSink.h"
#include "SimAdmin.h"
#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "com/Object.h"
#include "idl/Tolvane_h.h"

#include <gtest/gtest.h>

#include <string>

namespace test {

// The events' dispatch ids.
enum ServerEvent : DISPID { OnCall = 1, OnLogon = 2, OnError = 3, OnCheck = 4, OnCommit = 5, OnRollback = 6, OnConfirm = 7 };


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

// Answers a call of STFC_STRUCTURE with three rows in RFCTABLE and the ABAP exception NOT_FOUND,
// "nothing here".
void RaiseNotFoundWithThreeRows(IFunctionCall* call);

// The name of the called function, and the number of its parameters in all four lists.
std::wstring FunctionOf(IFunctionCall* call);
long ParameterCount(IFunctionCall* call);

// The gateway calls `function` on the program registered as `programId`, while this thread pumps.
AdminReply CallProgram(const std::wstring& programId, const std::wstring& function,
                       nlohmann::json values = nlohmann::json::object(), const std::string& user = "DEMO");

std::string Narrow(const std::wstring& text);

// A server of class `Server` aimed at sapsim's gateway under `programId`, with a sink on this
// thread; shut down when it goes.
template <class Server>
struct ServedBy {
    com::ptr<Server> server = com::make<Server>();
    com::ptr<EventSink> sink = EventSink::Create(DIID__RfcServerEvents);
    std::wstring programId;

    explicit ServedBy(const std::wstring& id, bool advise = true) : programId(id)
    {
        server->put_ProgramID(com::bstr(id).get());
        server->put_GatewayHost(com::bstr(L"127.0.0.1").get());
        server->put_GatewayService(com::bstr(std::to_wstring(GatewayPort())).get());
        if (advise)
            test::Advise(server.get(), sink.get());
    }
    ~ServedBy()
    {
        if (server)
            server->Shutdown();
    }
    ServedBy(const ServedBy&) = delete;
    ServedBy& operator=(const ServedBy&) = delete;

    void Option(const wchar_t* name, const std::wstring& value)
    {
        ASSERT_EQ(server->put_Option(com::bstr(name).get(), com::bstr(value).get()), S_OK);
    }
    bool Listening() const
    {
        VARIANT_BOOL listening = VARIANT_FALSE;
        server->get_IsListening(&listening);
        return listening != VARIANT_FALSE;
    }
    AdminReply Call(const std::wstring& function, nlohmann::json values = nlohmann::json::object(),
                    const std::string& user = "DEMO")
    {
        return CallProgram(programId, function, std::move(values), user);
    }
};

// sapsim calls STFC_STRUCTURE on `s` with a structure and a table; the sink answers on this
// thread (AnswerStfcStructure), and the caller receives the answer.
template <class Server>
void ExpectStfcStructureServed(ServedBy<Server>& s)
{
    s.sink->onEvent = [](DISPID id, DISPPARAMS* params) {
        if (id == OnCall)
            AnswerStfcStructure(Argument<IFunctionCall>(params).get());
    };
    const AdminReply reply = s.Call(L"STFC_STRUCTURE", {{"IMPORTSTRUCT", {{"RFCCHAR4", "ABCD"}, {"RFCINT4", "7"}}},
                                                        {"RFCTABLE", nlohmann::json::array({{{"RFCCHAR4", "ROW1"}}})}});
    ASSERT_EQ(reply.body.value("result", ""), "ok") << reply.body.dump();
    EXPECT_EQ(reply.body["values"]["ECHOSTRUCT"]["RFCCHAR4"], "ABCD");
    EXPECT_EQ(reply.body["values"]["RESPTEXT"], "served by Tolvane");
    ASSERT_EQ(reply.body["values"]["RFCTABLE"].size(), 2u);
    EXPECT_EQ(reply.body["values"]["RFCTABLE"][0]["RFCCHAR4"], "ROW1");
    EXPECT_EQ(s.sink->Calls(OnCall), 1);
    EXPECT_EQ(s.sink->LastThread(), GetCurrentThreadId());
}

} // namespace test
