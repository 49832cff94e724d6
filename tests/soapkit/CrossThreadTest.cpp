// The session's pattern: objects created on the client's thread, used by a worker thread in
// its own apartment, while the client shortens the time-out of the worker's wait.
#include "SoapKitTest.h"
#include "TestServer.h"

#include <thread>

using namespace test;

namespace {

HttpReply Never(const HttpRequestSeen&)
{
    HttpReply reply;
    reply.ending = HttpReply::Ending::never;
    return reply;
}

bool Waiting(IHttpTransport* transport)
{
    com::variant value;
    return transport->GetNamedProperty(com::bstr(L"waiting").get(), value.put()) == S_OK && value.vt() == VT_BOOL &&
           V_BOOL(value.addr()) == VARIANT_TRUE;
}

// Polls (at most about ten seconds) until the transport waits for the server.
bool UntilWaiting(IHttpTransport* transport)
{
    for (int i = 0; i < 10000 && !Waiting(transport); ++i)
        Sleep(1);
    return Waiting(transport);
}

HRESULT Fetch(IHttpTransport* transport)
{
    BSTR charset = SysAllocString(L"utf-8");
    com::variant body;
    const HRESULT hr = transport->FetchResponse(&charset, body.put());
    SysFreeString(charset);
    return hr;
}

} // namespace

TEST(CrossThread, SetTimeoutFromAnotherThreadEndsAPendingFetch)
{
    TestServer server(Never);
    auto transport = NewTransport();
    ASSERT_EQ(transport->SetTimeout(0), S_OK) << "no limit: only the change can end the wait";
    ASSERT_EQ(transport->PostRequest(com::bstr(server.url()).get(), com::bstr(L"<x/>").get()), S_OK);

    HRESULT fetched = E_FAIL;
    std::wstring description;
    HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread worker([&] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        fetched = Fetch(transport.get());
        description = ThreadErrorDescription();
        CoUninitialize();
        SetEvent(finished);
    });
    ASSERT_TRUE(UntilWaiting(transport.get()));
    EXPECT_EQ(transport->SetTimeout(1), S_OK);
    const bool ended = WaitForSingleObject(finished, 20000) == WAIT_OBJECT_0;
    if (!ended)
        server.stop(); // releases the worker so that the test can end
    worker.join();
    CloseHandle(finished);
    EXPECT_TRUE(ended) << "the fetch went on waiting after the time-out was lowered";
    EXPECT_EQ(fetched, soapkit::result::TimedOut);
    EXPECT_FALSE(description.empty());
    EXPECT_FALSE(Waiting(transport.get()));
}

TEST(CrossThread, WorkerApartmentUsesObjectsOfTheClientThreadDirectly)
{
    TestServer server([](const HttpRequestSeen& request) {
        return HttpReply::xml(ResponseXml("<r:R xmlns:r=\"urn:r\"><ECHO>" + std::to_string(request.body.size()) + "</ECHO></r:R>"));
    });
    auto transport = NewTransport();
    auto envelope = NewEnvelope();
    envelope->NameBody(com::bstr(L"STFC_CONNECTION").get(), com::bstr(kRfcNamespace).get());
    Add(Body(envelope.get()).get(), L"REQUTEXT", com::variant(L"hi"));
    com::bstr request;
    ASSERT_EQ(envelope->WriteRequest(request.put()), S_OK);
    ASSERT_EQ(transport->PostRequest(com::bstr(server.url()).get(), request.get()), S_OK);

    // Through the Global Interface Table, as a client that follows the rules hands it over.
    com::ptr<IGlobalInterfaceTable> git;
    ASSERT_EQ(CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER, IID_IGlobalInterfaceTable,
                               git.put_void()),
              S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(git->RegisterInterfaceInGlobal(transport.get(), __uuidof(IHttpTransport), &cookie), S_OK);

    IHttpTransport* seen = nullptr;
    std::wstring echo;
    ASSERT_TRUE(RunOnWorker([&] {
        com::ptr<IHttpTransport> fromTable;
        if (FAILED(git->GetInterfaceFromGlobal(cookie, __uuidof(IHttpTransport), fromTable.put_void())))
            return;
        seen = fromTable.get();
        BSTR charset = SysAllocString(L"utf-8");
        com::variant body;
        const HRESULT fetched = fromTable->FetchResponse(&charset, body.put());
        const com::bstr cs = com::bstr::attach(charset);
        if (fetched != S_OK || envelope->ReadResponse(body.get(), cs.get()) != S_OK)
            return;
        echo = Value(Find(Body(envelope.get()).get(), L"ECHO").get());
    }));
    git->RevokeInterfaceFromGlobal(cookie);
    EXPECT_EQ(seen, transport.get()) << "free-threaded: the worker gets the object, not a proxy";
    EXPECT_EQ(echo, std::to_wstring(request.length())) << "the request is ASCII: as many bytes as characters";
}
