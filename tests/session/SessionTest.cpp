// The common session behaviour, through a session kind whose backend lives in the test.
#include "SessionTestSupport.h"
#include "support/EventSink.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace test;

TEST(SessionImport, TheSecondImportComesFromTheCacheUntilItIsCleared)
{
    EchoBackend backend;
    auto session = NewSession(backend);
    com::ptr<IFunctionCall> first, second;
    ASSERT_EQ(session->ImportCall(com::bstr(L"Z_ECHO").get(), VARIANT_FALSE, first.put()), S_OK);
    ASSERT_EQ(session->ImportCall(com::bstr(L"Z_ECHO").get(), VARIANT_FALSE, second.put()), S_OK);
    EXPECT_EQ(backend.imports, 1);
    EXPECT_NE(first, second);

    com::ptr<ITypeCache> cache;
    ASSERT_EQ(session->get_TypeCache(cache.put()), S_OK);
    cache->Clear();
    ASSERT_EQ(session->ImportCall(com::bstr(L"Z_ECHO").get(), VARIANT_FALSE, second.put()), S_OK);
    EXPECT_EQ(backend.imports, 2);

    // A cache handed to another session serves it too.
    EchoBackend other;
    auto another = NewSession(other);
    ASSERT_EQ(another->put_TypeCache(cache.get()), S_OK);
    ASSERT_EQ(another->ImportCall(com::bstr(L"Z_ECHO").get(), VARIANT_FALSE, second.put()), S_OK);
    EXPECT_EQ(other.imports, 0);
    EXPECT_EQ(another->put_TypeCache(nullptr), E_POINTER);
}

TEST(SessionImport, AFailedImportCachesNothingAndANullOutPointerStillImports)
{
    EchoBackend backend;
    auto session = NewSession(backend);
    com::ptr<IFunctionCall> call;
    EXPECT_EQ(session->ImportCall(com::bstr(L"Z_MISSING").get(), VARIANT_FALSE, call.put()),
              static_cast<HRESULT>(0x8004021C));
    EXPECT_FALSE(call);
    EXPECT_EQ(session->ImportCall(com::bstr(L"Z_MISSING").get(), VARIANT_FALSE, call.put()),
              static_cast<HRESULT>(0x8004021C));
    EXPECT_EQ(backend.imports, 2);

    EXPECT_EQ(session->ImportCall(com::bstr(L"Z_ECHO").get(), VARIANT_FALSE, nullptr), E_POINTER);
    EXPECT_EQ(session->ImportCall(com::bstr(L"Z_ECHO").get(), VARIANT_FALSE, call.put()), S_OK);
    EXPECT_EQ(backend.imports, 3); // the first import was cached although it could not be handed out

    com::ptr<IRfcType> type;
    EXPECT_EQ(session->ImportType(com::bstr(L"RFCTEST").get(), type.put()), S_OK);
    EXPECT_EQ(session->ImportType(com::bstr(L"RFCTEST").get(), type.put()), S_OK);
    EXPECT_EQ(session->ImportType(com::bstr(L"NOPE").get(), type.put()), static_cast<HRESULT>(0x8004020C));
    EXPECT_EQ(backend.imports, 5);
}

TEST(SessionCalls, PreconditionsComeInOrderAndLeaveTheErrorStateAlone)
{
    EchoBackend backend;
    auto session = NewSession(backend, false);
    session->SetErrorState(RFCERROR_COMMUNICATION, L"communication error", L"earlier failure");
    EXPECT_EQ(session->CallFunction(Call(session.get(), L"").get(), VARIANT_TRUE), kNotConnected);
    session->Connect();
    EXPECT_EQ(session->CallFunction(Call(session.get(), L"").get(), VARIANT_TRUE), kInvalidName);
    EXPECT_EQ(session->CallFunction(nullptr, VARIANT_TRUE), E_POINTER);

    backend.holdCalls = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_EQ(session->CallFunction(Echo(session.get(), L"x").get(), VARIANT_FALSE), S_OK);
    EXPECT_TRUE(CallActive(session.get()));
    session->SetErrorState(RFCERROR_COMMUNICATION, L"communication error", L"earlier failure");
    EXPECT_EQ(session->CallFunction(Call(session.get(), L"").get(), VARIANT_TRUE), kCallActive);
    EXPECT_TRUE(ErrorFlag(session.get()));
    // Aborted while the backend still holds it: the error state shows the cancelled call.
    session->AbortCall();
    CloseHandle(backend.holdCalls);
    backend.holdCalls = nullptr;
    EXPECT_EQ(ErrorMessage(session.get()), L"cancelled by the client");
}

TEST(SessionCalls, ErrorInfoClearsOnlyTheFlag)
{
    EchoBackend backend;
    auto session = NewSession(backend);
    ASSERT_EQ(session->CallFunction(Call(session.get(), L"Z_FAIL").get(), VARIANT_TRUE), S_OK);
    EXPECT_TRUE(ErrorFlag(session.get()));
    com::ptr<IRfcError> error;
    ASSERT_EQ(session->get_ErrorInfo(error.put()), S_OK);
    EXPECT_FALSE(ErrorFlag(session.get()));
    com::bstr message;
    error->get_Message(message.put());
    EXPECT_EQ(message.view(), L"NOT_FOUND");
    ERRORGROUP group{};
    error->get_ERRORGROUP(&group);
    EXPECT_EQ(group, RFCERROR_APPLICATION_EXCEPTION);

    // The same object every time; a later success clears it.
    com::ptr<IRfcError> again;
    session->get_ErrorInfo(again.put());
    EXPECT_EQ(again, error);
    ASSERT_EQ(session->CallFunction(Echo(session.get(), L"ok").get(), VARIANT_TRUE), S_OK);
    error->get_Message(message.put());
    EXPECT_TRUE(message.empty());
    EXPECT_EQ(session->get_ErrorInfo(nullptr), E_POINTER);
}

TEST(SessionCalls, OnlyExactlyVariantTrueIsSynchronous)
{
    EchoBackend backend;
    auto session = NewSession(backend);
    auto call = Echo(session.get(), L"sync");
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    EXPECT_EQ(EchoOf(call.get()), L"sync");
    EXPECT_FALSE(CallActive(session.get()));

    // A script's True is -1; its 1 asks for the background.
    auto sink = EventSink::Create(DIID__SessionEvents);
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    sink->onEvent = [&](DISPID, DISPPARAMS*) { SetEvent(finished); };
    Advise(session.get(), sink.get());
    backend.holdCalls = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto async = Echo(session.get(), L"async");
    ASSERT_EQ(session->CallFunction(async.get(), 1), S_OK);
    EXPECT_TRUE(CallActive(session.get()));
    SetEvent(backend.holdCalls);
    EXPECT_TRUE(PumpUntil(finished, 10000));
    EXPECT_EQ(EchoOf(async.get()), L"async");
    CloseHandle(backend.holdCalls);
    CloseHandle(finished);
}

TEST(SessionCalls, CallFinishedComesOnceAfterTheResultsOnTheAdvisingThread)
{
    EchoBackend backend;
    auto session = NewSession(backend);
    auto sink = EventSink::Create(DIID__SessionEvents);
    Advise(session.get(), sink.get());
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto call = Echo(session.get(), L"hello");
    bool activeInHandler = true;
    std::wstring echoInHandler;
    sink->onEvent = [&](DISPID, DISPPARAMS*) {
        activeInHandler = CallActive(session.get());
        echoInHandler = EchoOf(call.get());
        SetEvent(finished);
    };
    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_FALSE), S_OK);
    ASSERT_TRUE(PumpUntil(finished, 10000));
    EXPECT_FALSE(activeInHandler);
    EXPECT_EQ(echoInHandler, L"hello");
    EXPECT_EQ(sink->LastThread(), GetCurrentThreadId());
    // A new call may start from here; the first event is not repeated.
    ASSERT_EQ(session->CallFunction(Echo(session.get(), L"next").get(), VARIANT_TRUE), S_OK);
    EXPECT_EQ(sink->Calls(1), 1);
    CloseHandle(finished);
}

TEST(SessionCalls, AnAbortedCallRaisesNoEventAndAbortRacesWithCompletionWithoutDeadlock)
{
    EchoBackend backend;
    auto session = NewSession(backend);
    auto sink = EventSink::Create(DIID__SessionEvents);
    Advise(session.get(), sink.get());

    backend.holdCalls = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_EQ(session->CallFunction(Echo(session.get(), L"held").get(), VARIANT_FALSE), S_OK);
    ASSERT_EQ(session->AbortCall(), S_OK);
    EXPECT_FALSE(CallActive(session.get()));
    EXPECT_EQ(sink->Calls(1), 0);
    CloseHandle(backend.holdCalls);
    backend.holdCalls = nullptr;

    // The worker completes while the client aborts: either the event comes (and then exactly
    // once) or the abort took the call; never both, never a hang.
    int events = 0;
    sink->onEvent = [&](DISPID, DISPPARAMS*) { ++events; };
    for (int i = 0; i < 200; ++i) {
        const int before = events;
        ASSERT_EQ(session->CallFunction(Echo(session.get(), L"race").get(), VARIANT_FALSE), S_OK);
        if (i % 3)
            Sleep(0);
        ASSERT_EQ(session->AbortCall(), S_OK);
        EXPECT_FALSE(CallActive(session.get()));
        EXPECT_LE(events - before, 1);
    }
    EXPECT_EQ(session->AbortCall(), S_OK); // nothing to abort
}

TEST(SessionCalls, UnsetOptionalImportsArePrunedFromTheCall)
{
    EchoBackend backend;
    auto session = NewSession(backend);
    auto call = Echo(session.get(), L"x");
    com::ptr<IRfcParameters> importing;
    call->get_Importing(importing.put());
    importing->AddScalar(com::bstr(L"OPT").get(), TYPE_INT, 0, 0, com::variant().get());
    importing->AddScalar(com::bstr(L"DEFAULTED").get(), TYPE_INT, 0, 0, com::variant().get());
    importing->AddScalar(com::bstr(L"REQUIRED").get(), TYPE_INT, 0, 0, com::variant().get());
    importing->AddScalar(com::bstr(L"GIVEN").get(), TYPE_INT, 0, 0, com::variant(1L).get());
    auto set = [&](const wchar_t* name, auto&& f) {
        com::ptr<IRfcParameter> p;
        importing->get_Item(com::variant(name).get(), p.put());
        f(p.get());
    };
    set(L"OPT", [](IRfcParameter* p) { p->put_Optional(VARIANT_TRUE); });
    set(L"GIVEN", [](IRfcParameter* p) { p->put_Optional(VARIANT_TRUE); });
    set(L"DEFAULTED", [](IRfcParameter* p) { p->put_DefaultValue(com::bstr(L"'A'").get()); });

    ASSERT_EQ(session->CallFunction(call.get(), VARIANT_TRUE), S_OK);
    VARIANT_BOOL has = VARIANT_FALSE;
    importing->HasKey(com::bstr(L"OPT").get(), &has);
    EXPECT_EQ(has, VARIANT_FALSE);
    importing->HasKey(com::bstr(L"DEFAULTED").get(), &has);
    EXPECT_EQ(has, VARIANT_FALSE);
    importing->HasKey(com::bstr(L"REQUIRED").get(), &has);
    EXPECT_EQ(has, VARIANT_TRUE);
    importing->HasKey(com::bstr(L"GIVEN").get(), &has);
    EXPECT_EQ(has, VARIANT_TRUE);
}

TEST(SessionPasswords, CheckPasswordExpiredInItsThreeOutcomes)
{
    StandardBackend backend;
    auto session = NewSession(backend);
    VARIANT_BOOL expired = VARIANT_TRUE;
    EXPECT_EQ(session->CheckPasswordExpired(&expired), S_FALSE);
    EXPECT_EQ(expired, VARIANT_FALSE);

    backend.user = L"EXPIRED";
    EXPECT_EQ(session->CheckPasswordExpired(&expired), S_OK);
    EXPECT_EQ(expired, VARIANT_TRUE);
    EXPECT_FALSE(ErrorFlag(session.get()));

    backend.user = L"LOCKED";
    EXPECT_EQ(session->CheckPasswordExpired(&expired), S_OK);
    EXPECT_EQ(expired, VARIANT_FALSE);
    EXPECT_TRUE(ErrorFlag(session.get()));
    EXPECT_EQ(ErrorMessage(session.get()), L"user is locked");
}

TEST(SessionPasswords, ChangePasswordNeedsTheOldOneAndKeepsBothOutOfTheTrace)
{
    StandardBackend backend;
    auto session = NewSession(backend);
    EXPECT_EQ(session->ChangePassword(com::bstr(L"new-secret").get()), static_cast<HRESULT>(0x8004020F));
    EXPECT_EQ(backend.calls, 0);

    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring trace = std::wstring(dir) + L"tolvane-password-test.log";
    DeleteFileW(trace.c_str());
    session->put_Option(com::bstr(L"trace.file").get(), com::bstr(trace).get());

    com::ptr<ILogonData> logon;
    session->get_LogonData(logon.put());
    logon->put_Password(com::bstr(L"old-secret").get());
    ASSERT_EQ(session->ChangePassword(com::bstr(L"new-secret").get()), S_OK);
    EXPECT_EQ(backend.changedFrom, L"old-secret");
    EXPECT_EQ(backend.changedTo, L"new-secret");
    com::bstr password;
    logon->get_Password(password.put());
    EXPECT_EQ(password.view(), L"old-secret"); // the logon data is not changed
    ostrel::TraceClose();

    std::ifstream in(trace.c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_NE(s.str().find("SUSR_USER_CHANGE_PASSWORD_RFC"), std::string::npos);
    EXPECT_EQ(s.str().find("secret"), std::string::npos);
    DeleteFileW(trace.c_str());
}

TEST(SessionPasswords, CheckUnicodeSupportReadsTheFlag)
{
    StandardBackend backend;
    auto session = NewSession(backend);
    VARIANT_BOOL unicode = VARIANT_FALSE;
    EXPECT_EQ(session->CheckUnicodeSupport(&unicode), S_OK);
    EXPECT_EQ(unicode, VARIANT_TRUE);

    backend.modules[L"SLDAG_CHECK_FOR_UNICODE"] = [](IFunctionCall*) {
        return ModuleResult{true, RFCERROR_COMMUNICATION, L"communication error", L"down"};
    };
    com::ptr<ITypeCache> cache;
    session->get_TypeCache(cache.put());
    EXPECT_EQ(session->CheckUnicodeSupport(&unicode), S_OK);
    EXPECT_EQ(unicode, VARIANT_FALSE); // a failed call leaves it false
}

TEST(SessionState, OptionsSystemIdAndDecodedMessages)
{
    StandardBackend backend;
    auto session = NewSession(backend);
    com::bstr value;
    ASSERT_EQ(session->get_Option(com::bstr(L"never.set").get(), value.put()), S_OK);
    EXPECT_TRUE(value.empty());
    ASSERT_EQ(session->put_Option(com::bstr(L"TRACE.FILE").get(), com::bstr(L"C:\\nowhere.log").get()), S_OK);
    EXPECT_FALSE(ostrel::TraceIsOpen()); // only stored: option names are case-sensitive
    session->get_Option(com::bstr(L"TRACE.FILE").get(), value.put());
    EXPECT_EQ(value.view(), L"C:\\nowhere.log");

    session->put_SystemID(com::bstr(L"DEV").get());
    session->get_SystemID(value.put());
    EXPECT_EQ(value.view(), L"DEV");

    ASSERT_EQ(session->DecodeInternalError(523, value.put()), S_OK);
    EXPECT_EQ(value.view(), L"Already connected to the server");
    ASSERT_EQ(session->DecodeInternalError(1, value.put()), S_OK);
    EXPECT_TRUE(value.is_null());
}
