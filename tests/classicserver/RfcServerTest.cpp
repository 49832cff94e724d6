// The classic server against sapsim's gateway through the stand-in librfc32u.dll (found on the
// search path): sapsim plays SAP through its admin endpoints, the test is the client with an
// event sink on its own thread.
#include "SoapTestSupport.h"
#include "support/ServerTestSupport.h"
#include "support/TextFile.h"

#include "classic/RfcServer.h"
#include "classic/RfcSession.h"
#include "session/Trace.h"

#include <utility>
#include <vector>

using namespace test;
using nlohmann::json;
using tolvane::CRfcServer;

namespace {

using Served = ServedBy<CRfcServer>;

// A classic session connected to sapsim's gateway, where prototypes come from.
com::ptr<IRfcSession> ClassicSession()
{
    auto session = com::make<tolvane::CRfcSession>();
    com::ptr<IRfcSystemData> system;
    session->get_RfcSystemData(system.put());
    system->put_ConnectString(com::bstr(L"ASHOST=127.0.0.1 SYSNR=00 GWSERV=" + std::to_wstring(GatewayPort())).get());
    SetLogon(session.get(), {});
    EXPECT_EQ(session->Connect(), S_OK) << ErrorOf(session.get()).message;
    return session;
}

// Waits, pumping, until the server has left its main loop.
bool StopsListening(const Served& s)
{
    com::Event never;
    for (const ULONGLONG start = GetTickCount64(); GetTickCount64() - start < 10000;) {
        if (!s.Listening())
            return true;
        PumpUntil(never.get(), 20); // the worker may still be raising an event here
    }
    return false;
}

bool RegisteredAtTheGateway(const std::wstring& programId)
{
    for (const json& r : AdminRequest(SimPort(), "GET", "registrations").body["registrations"])
        if (r.value("programId", "") == Narrow(programId))
            return true;
    return false;
}

// The milliseconds the gateway waits for a call to `s`'s idle server.
ULONGLONG CallLatency(Served& s)
{
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(s.Call(L"Z_ANY").body.value("result", ""), "ok");
    return GetTickCount64() - start;
}

} // namespace

TEST(RfcServer, ACallIsServedOnTheClientsThreadWithValuesStructuresAndTables)
{
    Served s(L"TOLVANE.CLASSIC.VALUES");
    ASSERT_EQ(s.server->InstallFunction(Import(ClassicSession().get(), L"STFC_STRUCTURE").get()), S_OK);
    ASSERT_EQ(s.server->Serve(), S_OK) << ServerMessage(s.server.get());
    EXPECT_FALSE(ServerFailed(s.server.get()));
    EXPECT_TRUE(s.Listening());

    ExpectStfcStructureServed(s);
}

TEST(RfcServer, EachCallIsServedWithThePrototypeItsNameHasWhenItArrives)
{
    Served s(L"TOLVANE.CLASSIC.NAMES");
    auto session = ClassicSession();
    ASSERT_EQ(s.server->InstallFunction(Import(session.get(), L"STFC_STRUCTURE").get()), S_OK);
    ASSERT_EQ(s.server->Serve(), S_OK) << ServerMessage(s.server.get());

    std::vector<std::pair<std::wstring, long>> served; // name, parameters
    s.sink->onEvent = [&](DISPID id, DISPPARAMS* params) {
        if (id != OnCall)
            return;
        auto call = Argument<IFunctionCall>(params);
        served.emplace_back(FunctionOf(call.get()), ParameterCount(call.get()));
        if (served.back().first == L"STFC_STRUCTURE")
            RaiseNotFoundWithThreeRows(call.get());
    };

    AdminReply reply = s.Call(L"STFC_STRUCTURE");
    EXPECT_EQ(reply.body.value("result", ""), "exception") << reply.body.dump();
    EXPECT_EQ(reply.body.value("key", ""), "NOT_FOUND");
    EXPECT_EQ(reply.body.value("message", ""), "nothing here");
    EXPECT_EQ(reply.body["values"]["RFCTABLE"].size(), 3u);
    EXPECT_EQ(s.Call(L"Z_NEVER_INSTALLED").body.value("result", ""), "ok");

    // Installed after Serve: matched by name when the call arrives.
    ASSERT_EQ(s.server->InstallFunction(Import(session.get(), L"STFC_CONNECTION").get()), S_OK);
    reply = s.Call(L"STFC_CONNECTION", {{"REQUTEXT", "hello"}});
    EXPECT_EQ(reply.body.value("result", ""), "ok") << reply.body.dump();
    ASSERT_EQ(served.size(), 3u);
    EXPECT_EQ(served[1], (std::pair<std::wstring, long>{L"Z_NEVER_INSTALLED", 0}));
    EXPECT_EQ(served[2].first, L"STFC_CONNECTION");
    EXPECT_GT(served[2].second, 0); // its prototype's parameters
    EXPECT_FALSE(ServerFailed(s.server.get()));
}

TEST(RfcServer, ARefusedLogonCostsTheCallerItsCallNotTheServerItsRegistration)
{
    Served s(L"TOLVANE.CLASSIC.LOGON");
    ASSERT_EQ(s.server->Serve(), S_OK);
    std::vector<std::wstring> logons;
    s.sink->onEvent = [&](DISPID id, DISPPARAMS* params) {
        if (id != OnLogon)
            return;
        auto logon = Argument<IRfcServerLogonInfo>(params);
        com::bstr user, client, function;
        logon->get_User(user.put());
        logon->get_Client(client.put());
        logon->get_Function(function.put());
        logons.push_back(user.str() + L"@" + client.str() + L":" + function.str());
        logon->put_RequestAllowed(user.view() == L"RFCUSER" ? VARIANT_TRUE : VARIANT_FALSE);
    };
    EXPECT_EQ(s.Call(L"Z_ANY", json::object(), "RFCUSER").body.value("result", ""), "ok");
    const AdminReply refused = s.Call(L"Z_ANY", json::object(), "DEMO");
    EXPECT_EQ(refused.body.value("result", ""), "error") << refused.body.dump();
    EXPECT_EQ(s.Call(L"Z_OTHER", json::object(), "RFCUSER").body.value("result", ""), "ok");
    EXPECT_EQ(logons, (std::vector<std::wstring>{L"RFCUSER@001:Z_ANY", L"DEMO@001:Z_ANY", L"RFCUSER@001:Z_OTHER"}));
    EXPECT_EQ(s.sink->Calls(OnCall), 2);
    EXPECT_EQ(s.sink->Calls(OnError), 0);
    EXPECT_TRUE(s.Listening());

    Served silent(L"TOLVANE.CLASSIC.NOSINK", false);
    ASSERT_EQ(silent.server->Serve(), S_OK);
    EXPECT_EQ(silent.Call(L"Z_ANY").body.value("result", ""), "ok"); // nobody to refuse it
}

TEST(RfcServer, ATransactionalUnitRaisesItsStepsAndTheClientsStatusDecidesThem)
{
    Served s(L"TOLVANE.CLASSIC.TRFC");
    ASSERT_EQ(s.server->Serve(), S_OK);
    std::vector<DISPID> steps;
    std::vector<std::wstring> tids;
    bool answer = true, raise = false;
    s.sink->onEvent = [&](DISPID id, DISPPARAMS* params) {
        steps.push_back(id);
        if (id == OnCall && raise)
            Argument<IFunctionCall>(params)->RaiseException(com::bstr(L"FAILED").get(), com::bstr(L"no").get());
        if (id < OnCheck)
            return;
        auto step = Argument<IRfcTransactionInfo>(params);
        com::bstr tid;
        step->get_TransactionID(tid.put());
        tids.push_back(tid.str());
        if (answer)
            step->put_Status(0);
    };
    auto unit = [&](const char* tid) {
        steps.clear();
        tids.clear();
        return AdminRequestPumping(SimPort(), "POST", "transaction",
                                   {{"programId", Narrow(s.programId)}, {"function", "Z_UNIT"}, {"tid", tid}})
            .body.value("result", "");
    };
    struct Case {
        bool answer, raise;
        const char* result;
        std::vector<DISPID> steps;
    };
    const Case cases[] = {
        {true, false, "committed", {OnCheck, OnLogon, OnCall, OnCommit, OnConfirm}},
        {true, true, "rolled back", {OnCheck, OnLogon, OnCall, OnRollback}},
        {false, false, "check failed", {OnCheck}}, // a Status left as it was fails the step
    };
    const char* tid = "0A1B2C3D4E5F60718293A4C0";
    for (const Case& c : cases) {
        answer = c.answer;
        raise = c.raise;
        EXPECT_EQ(unit(tid), c.result);
        EXPECT_EQ(steps, c.steps) << c.result;
        for (const std::wstring& seen : tids)
            EXPECT_EQ(seen, L"0A1B2C3D4E5F60718293A4C0");
    }
}

TEST(RfcServer, ARegistrationTheGatewayRefusesIsToldByTheErrorStateAloneAndServeSucceeds)
{
    Served s(std::wstring(65, L'R')); // the gateway takes program IDs of 1 to 64 characters
    EXPECT_EQ(s.server->Serve(), S_OK);
    EXPECT_TRUE(ServerFailed(s.server.get()));
    EXPECT_NE(ServerMessage(s.server.get()), L"");
    com::ptr<IRfcServerErrorInfo> info;
    s.server->get_ErrorInfo(info.put());
    long group = 0;
    info->get_ERRORGROUP(&group);
    EXPECT_NE(group, 0);
    EXPECT_FALSE(s.Listening());
    EXPECT_EQ(s.sink->Calls(OnError), 0);
}

TEST(RfcServer, ALostConnectionAsksTheClientWithAFreshErrorObjectAndRestartsOnlyWhenTold)
{
    Served s(L"TOLVANE.CLASSIC.LOST");
    ASSERT_EQ(s.server->Serve(), S_OK);
    std::vector<com::ptr<IUnknown>> errors;
    bool restart = true;
    com::Event told;
    s.sink->onEvent = [&](DISPID id, DISPPARAMS* params) {
        if (id != OnError)
            return;
        auto error = Argument<IRfcServerErrorInfo>(params);
        errors.push_back(error.query<IUnknown>());
        error->put_Restart(restart ? VARIANT_TRUE : VARIANT_FALSE);
        told.set();
    };
    for (const bool answer : {true, true, false}) {
        restart = answer;
        ResetEvent(told.get());
        AdminRequest(SimPort(), "POST", "drop", {{"programId", Narrow(s.programId)}});
        ASSERT_TRUE(PumpUntil(told.get(), 10000)) << answer;
        EXPECT_TRUE(ServerFailed(s.server.get()));
        if (answer) { // registered again: the next call is served
            EXPECT_EQ(s.Call(L"Z_ANY").body.value("result", ""), "ok");
        }
    }
    EXPECT_TRUE(StopsListening(s));
    EXPECT_FALSE(RegisteredAtTheGateway(s.programId));
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_NE(errors[0], errors[1]);
    EXPECT_NE(errors[1], errors[2]);
}

TEST(RfcServer, ThePollIntervalSpacesTheLooksForRequestsAndShutdownCutsItShort)
{
    // Right after Serve the server has just looked and waits one interval: a call 200 ms later
    // waits for the rest of it.
    std::vector<ULONGLONG> latencies;
    for (const wchar_t* interval : {L"", L"500"}) {
        Served s(std::wstring(L"TOLVANE.CLASSIC.POLL") + interval);
        if (*interval)
            s.Option(L"server.poll_interval", interval);
        ASSERT_EQ(s.server->Serve(), S_OK);
        com::Event never;
        PumpUntil(never.get(), 200);
        latencies.push_back(CallLatency(s));
    }
    std::cout << "call latency when idle: " << latencies[0] << " ms (default interval), " << latencies[1]
              << " ms (500 ms)\n";
    EXPECT_GT(latencies[1], latencies[0] + 100);

    Served slow(L"TOLVANE.CLASSIC.SLOWPOLL");
    slow.Option(L"server.poll_interval", L"20000");
    ASSERT_EQ(slow.server->Serve(), S_OK);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(slow.server->Shutdown(), S_OK);
    EXPECT_LT(GetTickCount64() - start, 10000u); // not the 20 s of the interval
    EXPECT_FALSE(slow.Listening());
    EXPECT_FALSE(RegisteredAtTheGateway(slow.programId));
}

TEST(RfcServer, AServerShutDownOrReleasedByItsClientStopsCleanly)
{
    auto idle = com::make<CRfcServer>();
    EXPECT_EQ(idle->Shutdown(), S_OK); // never served

    enum class Ending { ShutdownInHandler, ReleaseInHandler, ReleaseWhileServing };
    for (const Ending ending : {Ending::ShutdownInHandler, Ending::ReleaseInHandler, Ending::ReleaseWhileServing}) {
        Served s(L"TOLVANE.CLASSIC.END" + std::to_wstring(static_cast<int>(ending)));
        ASSERT_EQ(s.server->Serve(), S_OK);
        s.sink->onEvent = [&](DISPID id, DISPPARAMS*) {
            if (id != OnCall)
                return;
            if (ending == Ending::ReleaseInHandler)
                s.server = nullptr;
            else if (ending == Ending::ShutdownInHandler)
                s.server->Shutdown();
        };
        if (ending == Ending::ReleaseWhileServing)
            s.server = nullptr;
        else
            EXPECT_EQ(s.Call(L"Z_ANY").body.value("result", ""), "ok");
        bool gone = false;
        for (const ULONGLONG start = GetTickCount64(); !gone && GetTickCount64() - start < 10000; Sleep(20))
            gone = !RegisteredAtTheGateway(s.programId);
        EXPECT_TRUE(gone) << static_cast<int>(ending);
    }
}

TEST(RfcServer, TheTraceAsksForTheLibrarysTraceAndShowsNoPasswordOrTicketValue)
{
    const std::wstring trace = TempFilePath(L"tolvane-classic-server.log");
    DeleteFileW(trace.c_str());
    Served s(L"TOLVANE.CLASSIC.TRACE");
    auto session = ClassicSession();
    com::ptr<IFunctionCall> secrets;
    session->CreateCall(secrets.put());
    secrets->put_Function(com::bstr(L"Z_SECRETS").get());
    const auto importing = List(secrets.get(), &IFunctionCall::get_Importing);
    for (const wchar_t* name : {L"PASSWORD", L"MYSAPSSO2", L"USERNAME"})
        importing->AddScalar(com::bstr(name).get(), TYPE_CHAR, 20, 0, com::variant().get());
    com::ptr<IRfcType> structure;
    Parameter(Import(session.get(), L"STFC_STRUCTURE").get(), L"Importing", L"IMPORTSTRUCT")->get_RfcType(structure.put());
    importing->AddParameter(com::bstr(L"NEW_PASSWORD").get(), structure.get()); // its fields are named plainly
    ASSERT_EQ(s.server->InstallFunction(secrets.get()), S_OK);
    s.Option(L"trace.file", trace);
    ASSERT_EQ(s.server->Serve(), S_OK);
    std::wstring received;
    s.sink->onEvent = [&](DISPID id, DISPPARAMS* params) {
        if (id == OnCall)
            received = Text(Get(Argument<IFunctionCall>(params).get(), L"PASSWORD", L"Importing"));
    };
    const AdminReply reply = s.Call(L"Z_SECRETS", {{"PASSWORD", "Pw4Secret"}, {"MYSAPSSO2", "Ticket4Sso"}, {"USERNAME", "Shown4U"},
                                                    {"NEW_PASSWORD", {{"RFCDATA1", "Pw5Secret"}}}});
    EXPECT_EQ(reply.body.value("result", ""), "ok") << reply.body.dump();
    s.server->Shutdown();
    ostrel::TraceClose();
    EXPECT_EQ(received, L"Pw4Secret");

    const std::wstring text = ReadUtf8Text(trace);
    EXPECT_NE(text.find(L"'-t'"), std::wstring::npos);
    EXPECT_NE(text.find(L"Shown4U"), std::wstring::npos);
    EXPECT_NE(text.find(L"'NEW_PASSWORD' val=|"), std::wstring::npos);
    EXPECT_EQ(text.find(L"Pw4Secret"), std::wstring::npos);
    EXPECT_EQ(text.find(L"Ticket4Sso"), std::wstring::npos);
    EXPECT_EQ(text.find(L"Pw5Secret"), std::wstring::npos);
    bool traceAsked = false;
    const json logons = AdminRequest(SimPort(), "GET", "logons").body;
    for (const json& logon : logons["logons"])
        for (const json& parameter : logon["parameters"])
            traceAsked = traceAsked || (logon.value("kind", "") == "server" && parameter[0] == "-t");
    EXPECT_TRUE(traceAsked) << logons.dump();
    DeleteFileW(trace.c_str());
}
