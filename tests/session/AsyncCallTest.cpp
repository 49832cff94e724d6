// Asynchronous calls: completion on the session's own thread, handlers that use the session,
// clients that poll instead of pumping, call objects from other apartments, and the rule that
// nothing else uses the connection while a call is in flight.
#include "SessionTestSupport.h"
#include "support/EventSink.h"
#include "support/TextFile.h"

#include "session/Trace.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

using namespace test;

namespace {

// A session of an echo backend with an advised sink.
struct AsyncFixture {
    EchoBackend backend;
    com::ptr<CTestSession> session = NewSession(backend);
    com::ptr<EventSink> sink = EventSink::Create(DIID__SessionEvents);
    com::Event finished;

    AsyncFixture()
    {
        backend.interfaces[L"Z_OTHER"] = backend.interfaces[L"Z_ECHO"];
        backend.tableFields = {{L"CARRID", L"000000", L"000003", L"C"}};
        backend.tableRows = {L"LH ", L"AA "};
        Advise(session.get(), sink.get());
    }
};

} // namespace

TEST(AsyncCall, ACallFinishedHandlerMayUseTheSessionForAnything)
{
    const struct {
        const char* what;
        std::function<HRESULT(com::ptr<CTestSession>& session)> action;
        HRESULT expected;
    } cases[] = {
        {"a synchronous call",
         [](auto& s) {
             auto inner = Echo(s.get(), L"inner");
             const HRESULT hr = s->CallFunction(inner.get(), VARIANT_TRUE);
             return SUCCEEDED(hr) && EchoOf(inner.get()) != L"inner" ? E_FAIL : hr;
         },
         S_OK},
        {"an abort", [](auto& s) { return s->AbortCall(); }, S_OK},
        {"an import from the backend",
         [](auto& s) {
             com::ptr<IFunctionCall> call;
             return s->ImportCall(com::bstr(L"Z_OTHER").get(), VARIANT_FALSE, call.put());
         },
         S_OK},
        {"a table read",
         [](auto& s) {
             com::ptr<ITableReader> reader;
             HRESULT hr = s->GetTableReader(com::bstr(L"SCARR").get(), reader.put());
             if (SUCCEEDED(hr))
                 hr = reader->Read(0);
             com::ptr<IRfcRows> rows;
             long count = 0;
             if (SUCCEEDED(hr) && SUCCEEDED(reader->get_Rows(rows.put())))
                 rows->get_Count(&count);
             return SUCCEEDED(hr) && count != 2 ? E_FAIL : hr;
         },
         S_OK},
        {"a password check",
         [](auto& s) {
             VARIANT_BOOL expired = VARIANT_TRUE;
             return s->CheckPasswordExpired(&expired);
         },
         S_FALSE},
    };
    for (const auto& c : cases) {
        AsyncFixture f;
        HRESULT result = E_PENDING;
        f.sink->onEvent = [&](DISPID, DISPPARAMS*) {
            result = c.action(f.session);
            f.finished.set();
        };
        ASSERT_EQ(f.session->CallFunction(Echo(f.session.get(), L"outer").get(), VARIANT_FALSE), S_OK) << c.what;
        ASSERT_TRUE(PumpUntil(f.finished.get(), 10000)) << c.what;
        EXPECT_EQ(result, c.expected) << c.what;
        EXPECT_EQ(f.sink->Calls(1), 1) << c.what;
    }
}

TEST(AsyncCall, ReleasingTheSessionInsideItsHandlerDestroysItAfterTheEvent)
{
    AsyncFixture f;
    int destroyedDuringHandler = -1;
    f.sink->onEvent = [&](DISPID, DISPPARAMS*) {
        f.session = nullptr;
        destroyedDuringHandler = f.backend.sessionsDestroyed;
        f.finished.set();
    };
    ASSERT_EQ(f.session->CallFunction(Echo(f.session.get(), L"x").get(), VARIANT_FALSE), S_OK);
    ASSERT_TRUE(PumpUntil(f.finished.get(), 10000));
    EXPECT_EQ(destroyedDuringHandler, 0);
    EXPECT_EQ(f.backend.sessionsDestroyed, 1);
}

TEST(AsyncCall, HandlersChainAsynchronousCallsEachWithItsOwnResult)
{
    AsyncFixture f;
    const std::vector<std::wstring> texts = {L"one", L"two", L"three", L"four"};
    std::vector<com::ptr<IFunctionCall>> calls;
    std::vector<std::wstring> seen;
    auto start = [&] {
        calls.push_back(Echo(f.session.get(), texts[calls.size()].c_str()));
        return f.session->CallFunction(calls.back().get(), VARIANT_FALSE);
    };
    f.sink->onEvent = [&](DISPID, DISPPARAMS*) {
        seen.push_back(EchoOf(calls.back().get()));
        if (calls.size() < texts.size())
            EXPECT_EQ(start(), S_OK);
        else
            f.finished.set();
    };
    ASSERT_EQ(start(), S_OK);
    ASSERT_TRUE(PumpUntil(f.finished.get(), 10000));
    EXPECT_EQ(seen, texts);
    EXPECT_FALSE(CallActive(f.session.get()));
}

TEST(AsyncCall, AFailingHandlerIsTracedAndTheSessionCarriesOn)
{
    AsyncFixture f;
    const std::wstring trace = TempFilePath(L"tolvane-failing-handler.log");
    DeleteFileW(trace.c_str());
    f.session->put_Option(com::bstr(L"trace.file").get(), com::bstr(trace).get());
    f.sink->failWith = L"Object required: 'fm'";
    ASSERT_EQ(f.session->CallFunction(Echo(f.session.get(), L"x").get(), VARIANT_FALSE), S_OK);
    while (CallActive(f.session.get()))
        Sleep(1);
    EXPECT_EQ(f.sink->Calls(1), 1);
    auto next = Echo(f.session.get(), L"next");
    EXPECT_EQ(f.session->CallFunction(next.get(), VARIANT_TRUE), S_OK);
    EXPECT_EQ(EchoOf(next.get()), L"next");
    ostrel::TraceClose();
    EXPECT_NE(ReadUtf8Text(trace).find(L"CallFinished: the event handler failed (0x800a000d) Object required: 'fm'"),
              std::wstring::npos);
    DeleteFileW(trace.c_str());
}

TEST(AsyncCall, AClientThatPollsWithoutPumpingSeesTheEndAndTheResults)
{
    AsyncFixture f;
    auto call = Echo(f.session.get(), L"polled");
    ASSERT_EQ(f.session->CallFunction(call.get(), VARIANT_FALSE), S_OK);
    const ULONGLONG start = GetTickCount64();
    while (CallActive(f.session.get()) && GetTickCount64() - start < 10000)
        Sleep(5); // a plain sleep: no message is dispatched here
    EXPECT_FALSE(CallActive(f.session.get()));
    EXPECT_EQ(EchoOf(call.get()), L"polled");
    EXPECT_EQ(f.sink->Calls(1), 1);
    EXPECT_EQ(f.sink->LastThread(), GetCurrentThreadId());
    // The worker's ring, handled later, raises nothing more.
    PumpUntil(f.finished.get(), 50);
    EXPECT_EQ(f.sink->Calls(1), 1);
}

TEST(AsyncCall, ACallObjectFromAnotherApartmentReceivesItsResults)
{
    AsyncFixture f;
    com::Event marshalled, done;
    IStream* stream = nullptr;
    // The call object lives in an apartment of its own, which serves calls into it.
    std::thread owner([&] {
        com::ApartmentScope apartment;
        auto call = Echo(f.session.get(), L"proxied");
        CoMarshalInterThreadInterfaceInStream(IID_IFunctionCall, call.get(), &stream);
        marshalled.set();
        com::wait_pumping(done.get());
    });
    com::wait_pumping(marshalled.get());
    com::ptr<IFunctionCall> proxy;
    ASSERT_EQ(CoGetInterfaceAndReleaseStream(stream, IID_IFunctionCall, proxy.put_void()), S_OK);
    f.sink->onEvent = [&](DISPID, DISPPARAMS*) { f.finished.set(); };
    ASSERT_EQ(f.session->CallFunction(proxy.get(), VARIANT_FALSE), S_OK);
    EXPECT_TRUE(PumpUntil(f.finished.get(), 10000));
    EXPECT_FALSE(ErrorFlag(f.session.get())) << ErrorMessage(f.session.get());
    EXPECT_EQ(EchoOf(proxy.get()), L"proxied");
    proxy = nullptr;
    done.set();
    owner.join();
}

TEST(AsyncCall, WhatNeedsTheConnectionWaitsItsTurnBehindACallInFlight)
{
    AsyncFixture f;
    com::Event hold;
    f.backend.holdCalls = hold.get();
    auto running = Echo(f.session.get(), L"running");
    ASSERT_EQ(f.session->CallFunction(running.get(), VARIANT_FALSE), S_OK);

    com::ptr<IFunctionCall> imported;
    com::ptr<IRfcType> type;
    VARIANT_BOOL flag = VARIANT_FALSE;
    EXPECT_EQ(f.session->ImportCall(com::bstr(L"Z_OTHER").get(), VARIANT_FALSE, imported.put()), kCallActive);
    EXPECT_EQ(f.session->ImportType(com::bstr(L"RFCTEST").get(), type.put()), kCallActive);
    EXPECT_EQ(f.session->CheckPasswordExpired(&flag), kCallActive);
    EXPECT_EQ(f.session->CheckUnicodeSupport(&flag), kCallActive);
    // What the cache already has needs no connection.
    EXPECT_EQ(f.session->ImportCall(com::bstr(L"Z_ECHO").get(), VARIANT_FALSE, imported.put()), S_OK);
    const int importsWhileRunning = f.backend.imports;

    f.sink->onEvent = [&](DISPID, DISPPARAMS*) { f.finished.set(); };
    hold.set();
    ASSERT_TRUE(PumpUntil(f.finished.get(), 10000));
    EXPECT_EQ(EchoOf(running.get()), L"running");
    EXPECT_EQ(f.backend.imports, importsWhileRunning);
    f.backend.holdCalls = nullptr;
}

TEST(AsyncCall, AnImportTheBackendCouldNotDescribeIsHandedOutButNotCached)
{
    EchoBackend backend;
    backend.undescribable.insert(L"Z_BROKEN");
    auto session = NewSession(backend);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        com::ptr<IFunctionCall> call;
        EXPECT_EQ(session->ImportCall(com::bstr(L"Z_BROKEN").get(), VARIANT_FALSE, call.put()), S_OK);
        EXPECT_TRUE(call);
        EXPECT_TRUE(ErrorFlag(session.get()));
        EXPECT_EQ(backend.imports, attempt);
    }
}
