// The NetWeaver server against sapsim's gateway: sapsim plays SAP through its admin endpoints,
// the test is the client with an event sink on its own thread.
#include "NWRfcTestSupport.h"
#include "support/ServerTestSupport.h"
#include "support/TextFile.h"

#include "session/Trace.h"

#include "nwrfc/NWRfcPrototypes.h"
#include "nwrfc/NWRfcServer.h"

#include <atomic>
#include <vector>

using namespace test;
using nlohmann::json;
using tolvane::CNWRfcServer;

namespace {

// A NetWeaver server that finds the stand-in library (and traces where NWRFC_SERVER_TRACE says).
struct Served : ServedBy<CNWRfcServer> {
    explicit Served(const std::wstring& id, bool advise = true) : ServedBy<CNWRfcServer>(id, advise)
    {
        if (const char* trace = std::getenv("NWRFC_SERVER_TRACE"))
            Option(L"trace.file", std::wstring(trace, trace + strlen(trace)));
        Option(L"nwrfc.path", StandInFolder());
    }
};

// The interface of STFC_STRUCTURE, as sapsim describes it, installed on `server`.
void InstallStfcStructure(IRfcServer* server)
{
    auto session = ConnectedNWSession();
    auto prototype = Import(session.get(), L"STFC_STRUCTURE");
    ASSERT_EQ(server->InstallFunction(prototype.get()), S_OK);
}

} // namespace

TEST(NWRfcServer, ACallArrivesOnTheClientsThreadWithValuesAndItsAnswerReachesTheCaller)
{
    Served s(L"TOLVANE.SERVE.VALUES");
    InstallStfcStructure(s.server.get());
    ASSERT_EQ(s.server->Serve(), S_OK) << ServerMessage(s.server.get());
    VARIANT_BOOL listening = VARIANT_FALSE;
    s.server->get_IsListening(&listening);
    EXPECT_EQ(listening, VARIANT_TRUE);
    EXPECT_EQ(s.server->Serve(), static_cast<HRESULT>(0x8004020B)); // one listening thread per server

    ExpectStfcStructureServed(s);
}

TEST(NWRfcServer, RaiseExceptionReachesTheCallerWithTheTablesAndAnUnknownFunctionIsServedEmpty)
{
    Served s(L"TOLVANE.SERVE.RAISE");
    InstallStfcStructure(s.server.get());
    ASSERT_EQ(s.server->Serve(), S_OK);
    long parameters = -1;
    s.sink->onEvent = [&](DISPID id, DISPPARAMS* params) {
        if (id != OnCall)
            return;
        auto call = Argument<IFunctionCall>(params);
        if (FunctionOf(call.get()) == L"STFC_STRUCTURE")
            RaiseNotFoundWithThreeRows(call.get());
        else
            parameters = ParameterCount(call.get());
    };
    AdminReply reply = s.Call(L"STFC_STRUCTURE");
    EXPECT_EQ(reply.body.value("result", ""), "exception") << reply.body.dump();
    EXPECT_EQ(reply.body.value("key", ""), "NOT_FOUND");
    EXPECT_EQ(reply.body.value("message", ""), "nothing here");
    EXPECT_EQ(reply.body["values"]["RFCTABLE"].size(), 3u);

    reply = s.Call(L"Z_NEVER_INSTALLED");
    EXPECT_EQ(reply.body.value("result", ""), "ok") << reply.body.dump();
    EXPECT_EQ(parameters, 0);
}

TEST(NWRfcServer, TheLogonEventDecidesAndWithoutASinkEveryoneIsLetIn)
{
    Served s(L"TOLVANE.SERVE.LOGON");
    ASSERT_EQ(s.server->Serve(), S_OK);
    std::wstring user;
    s.sink->onEvent = [&](DISPID id, DISPPARAMS* params) {
        if (id != OnLogon)
            return;
        auto logon = Argument<IRfcServerLogonInfo>(params);
        com::bstr name;
        logon->get_User(name.put());
        user = name.str();
        logon->put_RequestAllowed(name.view() == L"RFCUSER" ? VARIANT_TRUE : VARIANT_FALSE);
    };
    EXPECT_EQ(s.Call(L"Z_ANY", json::object(), "RFCUSER").body.value("result", ""), "ok");
    const AdminReply refused = s.Call(L"Z_ANY", json::object(), "DEMO");
    EXPECT_EQ(refused.body.value("result", ""), "error") << refused.body.dump();
    EXPECT_EQ(refused.body.value("code", ""), "RFC_LOGON_FAILURE") << refused.body.dump();
    EXPECT_EQ(user, L"DEMO");
    EXPECT_EQ(s.sink->LastThread(), GetCurrentThreadId());
    // The refusal cost the caller its call, not the server its registration.
    EXPECT_EQ(s.Call(L"Z_ANY", json::object(), "RFCUSER").body.value("result", ""), "ok");

    Served silent(L"TOLVANE.SERVE.NOSINK", false);
    ASSERT_EQ(silent.server->Serve(), S_OK);
    EXPECT_EQ(silent.Call(L"Z_ANY").body.value("result", ""), "ok");
}

TEST(NWRfcServer, ATransactionalUnitRaisesItsStepsInOrderAndAnUnansweredStepFailsIt)
{
    Served s(L"TOLVANE.SERVE.TRFC");
    const std::wstring trace = TempFilePath(L"tolvane-nwserver-trfc.log");
    DeleteFileW(trace.c_str());
    s.server->put_Option(com::bstr(L"trace.file").get(), com::bstr(trace).get());
    ASSERT_EQ(s.server->Serve(), S_OK);
    std::vector<DISPID> steps;
    bool answer = true;
    s.sink->onEvent = [&](DISPID id, DISPPARAMS* params) {
        steps.push_back(id);
        if (id >= OnCheck && answer)
            Argument<IRfcTransactionInfo>(params)->put_Status(0);
    };
    auto unit = [&](const char* tid) {
        return AdminRequestPumping(SimPort(), "POST", "transaction",
                                   {{"programId", "TOLVANE.SERVE.TRFC"}, {"function", "Z_UNIT"}, {"tid", tid}})
            .body.value("result", "");
    };
    EXPECT_EQ(unit("0A1B2C3D4E5F60718293A4B5"), "committed");
    EXPECT_EQ(steps, (std::vector<DISPID>{OnCheck, OnLogon, OnCall, OnCommit, OnConfirm}));
    EXPECT_EQ(s.sink->LastThread(), GetCurrentThreadId());
    answer = false;
    steps.clear();
    EXPECT_EQ(unit("0A1B2C3D4E5F60718293A4B6"), "check failed");
    EXPECT_EQ(steps, (std::vector<DISPID>{OnCheck}));
    ostrel::TraceClose();
    const std::wstring traced = ReadUtf8Text(trace);
    for (const wchar_t* line : {L"transaction_check(tid=0A1B2C3D4E5F60718293A4B5)", L"transaction_confirm(tid=0A1B2C3D4E5F60718293A4B5)"})
        EXPECT_NE(traced.find(line), std::wstring::npos) << line;
    DeleteFileW(trace.c_str());
}

TEST(NWRfcServer, ALostConnectionAsksTheClientOnceAndRestartsOnlyWhenTold)
{
    for (const bool restart : {false, true}) {
        Served s(restart ? L"TOLVANE.SERVE.RESTART" : L"TOLVANE.SERVE.STOP");
        ASSERT_EQ(s.server->Serve(), S_OK);
        com::Event told;
        s.sink->onEvent = [&](DISPID id, DISPPARAMS* params) {
            if (id != OnError)
                return;
            Argument<IRfcServerErrorInfo>(params)->put_Restart(restart ? VARIANT_TRUE : VARIANT_FALSE);
            told.set();
        };
        AdminRequest(SimPort(), "POST", "drop", {{"programId", Narrow(s.programId)}});
        ASSERT_TRUE(PumpUntil(told.get(), 10000)) << restart;
        EXPECT_TRUE(ServerFailed(s.server.get()));
        EXPECT_EQ(s.sink->LastThread(), GetCurrentThreadId());
        if (restart) {
            // Registered again: the next call is served; the answer stays with the error object,
            // so a second loss restarts too.
            EXPECT_EQ(s.Call(L"Z_ANY").body.value("result", ""), "ok");
            s.sink->onEvent = [&](DISPID id, DISPPARAMS*) {
                if (id == OnError)
                    told.set();
            };
            ResetEvent(told.get());
            AdminRequest(SimPort(), "POST", "drop", {{"programId", Narrow(s.programId)}});
            ASSERT_TRUE(PumpUntil(told.get(), 10000));
            EXPECT_EQ(s.Call(L"Z_ANY").body.value("result", ""), "ok");
        } else {
            const ULONGLONG start = GetTickCount64();
            VARIANT_BOOL listening = VARIANT_TRUE;
            com::Event never;
            while (listening && GetTickCount64() - start < 10000) {
                PumpUntil(never.get(), 20); // the listening thread still talks to this apartment
                s.server->get_IsListening(&listening);
            }
            EXPECT_EQ(listening, VARIANT_FALSE);
        }
        EXPECT_EQ(s.sink->Calls(OnError), restart ? 2 : 1) << restart;
    }
}

TEST(NWRfcServer, ShutdownEndsListeningAndAHandlerMayShutDownOrReleaseItsServer)
{
    auto idle = com::make<CNWRfcServer>();
    EXPECT_EQ(idle->Shutdown(), S_OK); // never served

    Served s(L"TOLVANE.SERVE.SHUTDOWN");
    ASSERT_EQ(s.server->Serve(), S_OK);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(s.server->Shutdown(), S_OK);
    EXPECT_LT(GetTickCount64() - start, 5000u); // within about one listening period
    VARIANT_BOOL listening = VARIANT_TRUE;
    s.server->get_IsListening(&listening);
    EXPECT_EQ(listening, VARIANT_FALSE);

    for (const bool release : {false, true}) {
        Served inside(release ? L"TOLVANE.SERVE.RELEASE" : L"TOLVANE.SERVE.INSIDE");
        ASSERT_EQ(inside.server->Serve(), S_OK);
        inside.sink->onEvent = [&](DISPID id, DISPPARAMS*) {
            if (id != OnCall)
                return;
            if (release)
                inside.server = nullptr;
            else
                inside.server->Shutdown();
        };
        EXPECT_EQ(inside.Call(L"Z_ANY").body.value("result", ""), "ok") << release;
        const AdminReply registrations = AdminRequest(SimPort(), "GET", "registrations");
        const ULONGLONG stopping = GetTickCount64();
        bool gone = false;
        while (!gone && GetTickCount64() - stopping < 10000) {
            gone = true;
            for (const json& r : AdminRequest(SimPort(), "GET", "registrations").body["registrations"])
                gone = gone && r.value("programId", "") != Narrow(inside.programId);
            if (!gone)
                Sleep(20);
        }
        EXPECT_TRUE(gone) << release << " " << registrations.body.dump();
    }
}

TEST(NWRfcServer, ServersOfOneProcessShareOnePrototypePerNameTheLastInstalled)
{
    Served first(L"TOLVANE.SERVE.SHARED1"), second(L"TOLVANE.SERVE.SHARED2");
    auto session = ConnectedNWSession();
    ASSERT_EQ(first.server->InstallFunction(Import(session.get(), L"STFC_STRUCTURE").get()), S_OK);
    com::ptr<IFunctionCall> other;
    session->CreateCall(other.put());
    other->put_Function(com::bstr(L"STFC_STRUCTURE").get());
    List(other.get(), &IFunctionCall::get_Importing)
        ->AddScalar(com::bstr(L"ONLY").get(), TYPE_CHAR, 4, 0, com::variant().get());
    ASSERT_EQ(second.server->InstallFunction(other.get()), S_OK);
    com::ptr<IFunctionCalls> registered;
    second.server->get_RegisteredFunctions(registered.put());
    long count = 0;
    registered->get_Count(&count);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(first.server->Serve(), S_OK);
    std::wstring seen;
    first.sink->onEvent = [&](DISPID id, DISPPARAMS* params) {
        if (id != OnCall)
            return;
        com::ptr<IRfcParameter> only;
        seen = SUCCEEDED(List(Argument<IFunctionCall>(params).get(), &IFunctionCall::get_Importing)
                             ->get_Item(com::variant(L"ONLY").get(), only.put()))
                   ? L"second"
                   : L"first";
    };
    EXPECT_EQ(first.Call(L"STFC_STRUCTURE").body.value("result", ""), "ok");
    EXPECT_EQ(seen, L"second");
}

TEST(NWRfcServer, NamesNeverInstalledAreDescribedOnlyUpToABound)
{
    Served s(L"TOLVANE.SERVE.BOUND");
    ASSERT_EQ(s.server->Serve(), S_OK); // binds the library
    const nwrfc::EntryPoints& rfc = *nwrfc::Library::Bound();
    nwrfc::RFC_ERROR_INFO record{};
    size_t described = 0;
    for (size_t i = 0; i < tolvane::NWRfcPrototypes::kUnknownNamesDescribed + 10; ++i)
        described += tolvane::NWRfcPrototypes::Instance().Describe(rfc, L"Z_MADE_UP_" + std::to_wstring(i), record) != nullptr;
    EXPECT_LE(described, tolvane::NWRfcPrototypes::kUnknownNamesDescribed);
    EXPECT_GT(described, tolvane::NWRfcPrototypes::kUnknownNamesDescribed - 20); // others made some before
}
