// Connection points whose sinks are kept in the Global Interface Table.
#include "com/ConnectionPoint.h"
#include "com/Object.h"
#include "idl/Tolvane_h.h"
#include "support/EventSink.h"

#include <gtest/gtest.h>

#include <thread>

using test::EventSink;

namespace {

class EventSource : public com::Object<EventSource, com::ConnectionPointContainer> {
public:
    EventSource() { add_connection_point(events); }
    com::ConnectionPoint events{this, DIID__SessionEvents};
};

class Event {
public:
    Event() : handle_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() { CloseHandle(handle_); }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Fires CallFinished from a worker thread in an apartment of its own, while this thread pumps.
HRESULT FireFromWorker(EventSource& source)
{
    Event done;
    HRESULT fired = E_FAIL;
    std::thread worker([&] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        fired = source.events.fire(1);
        CoUninitialize();
        SetEvent(done.get());
    });
    const bool finished = test::PumpUntil(done.get(), 10000);
    worker.join();
    EXPECT_TRUE(finished);
    return fired;
}

com::ptr<IConnectionPoint> PointOf(EventSource& source)
{
    com::ptr<IConnectionPoint> point;
    EXPECT_EQ(source.FindConnectionPoint(DIID__SessionEvents, point.put()), S_OK);
    return point;
}

} // namespace

TEST(ConnectionPoint, AnEventFiredOnAWorkerArrivesOnTheAdvisingThread)
{
    auto source = com::make<EventSource>();
    auto sink = EventSink::Create(DIID__SessionEvents);
    DWORD cookie = 0;
    ASSERT_EQ(PointOf(*source)->Advise(sink.get(), &cookie), S_OK);

    EXPECT_EQ(FireFromWorker(*source), S_OK);
    EXPECT_EQ(sink->Calls(1), 1);
    EXPECT_EQ(sink->LastThread(), GetCurrentThreadId());

    EXPECT_EQ(PointOf(*source)->Unadvise(cookie), S_OK);
    EXPECT_EQ(FireFromWorker(*source), S_OK);
    EXPECT_EQ(sink->Calls(1), 1);
}

TEST(ConnectionPoint, SinksAreCalledInAdviseOrderAndMayUnadviseWhileCalled)
{
    auto source = com::make<EventSource>();
    auto point = PointOf(*source);
    auto first = EventSink::Create(DIID__SessionEvents);
    auto second = EventSink::Create(DIID__SessionEvents);
    DWORD firstCookie = 0, secondCookie = 0;
    ASSERT_EQ(point->Advise(first.get(), &firstCookie), S_OK);
    ASSERT_EQ(point->Advise(second.get(), &secondCookie), S_OK);
    EXPECT_NE(firstCookie, secondCookie);

    int order = 0, firstSeen = 0, secondSeen = 0;
    first->onEvent = [&](DISPID, DISPPARAMS*) {
        firstSeen = ++order;
        point->Unadvise(firstCookie); // the sink list is not locked during the call
    };
    second->onEvent = [&](DISPID, DISPPARAMS*) { secondSeen = ++order; };

    EXPECT_EQ(source->events.fire(1), S_OK);
    EXPECT_EQ(firstSeen, 1);
    EXPECT_EQ(secondSeen, 2);
    EXPECT_EQ(source->events.sink_count(), 1u);
}

TEST(ConnectionPoint, AdviseAndUnadviseFailures)
{
    auto source = com::make<EventSource>();
    auto point = PointOf(*source);
    DWORD cookie = 0;

    EXPECT_EQ(point->Advise(nullptr, &cookie), E_POINTER);
    auto sink = EventSink::Create(DIID__SessionEvents);
    EXPECT_EQ(point->Advise(sink.get(), nullptr), E_POINTER);

    // A sink that does not answer the event interface cannot connect.
    auto stranger = EventSink::Create(DIID__RfcServerEvents);
    EXPECT_EQ(point->Advise(stranger.get(), &cookie), CONNECT_E_CANNOTCONNECT);

    EXPECT_EQ(point->Unadvise(12345), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(point->Advise(sink.get(), &cookie), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);

    com::ptr<IConnectionPoint> none;
    EXPECT_EQ(source->FindConnectionPoint(DIID__RfcServerEvents, none.put()), CONNECT_E_NOCONNECTION);
}

TEST(ConnectionPoint, FiringWithoutSinksSucceeds)
{
    auto source = com::make<EventSource>();
    EXPECT_EQ(source->events.fire(1), S_OK);
}

TEST(ConnectionPoint, EnumConnectionsListsTheAdvisedSinks)
{
    auto source = com::make<EventSource>();
    auto point = PointOf(*source);
    auto sink = EventSink::Create(DIID__SessionEvents);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(sink.get(), &cookie), S_OK);

    com::ptr<IEnumConnections> connections;
    ASSERT_EQ(point->EnumConnections(connections.put()), S_OK);
    CONNECTDATA data{};
    ULONG fetched = 0;
    ASSERT_EQ(connections->Next(1, &data, &fetched), S_OK);
    EXPECT_EQ(data.dwCookie, cookie);
    EXPECT_EQ(com::ptr<IUnknown>::attach(data.pUnk), sink.query<IUnknown>());
    EXPECT_EQ(connections->Next(1, &data, &fetched), S_FALSE);

    IID iid{};
    EXPECT_EQ(point->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualIID(iid, DIID__SessionEvents));
    com::ptr<IConnectionPointContainer> container;
    EXPECT_EQ(point->GetConnectionPointContainer(container.put()), S_OK);
    EXPECT_EQ(container.query<IUnknown>(), source.query<IUnknown>());
}

TEST(ConnectionPoint, ASinkWhoseApartmentHasEndedIsSkipped)
{
    auto source = com::make<EventSource>();
    auto point = PointOf(*source);
    std::thread client([&] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        auto gone = EventSink::Create(DIID__SessionEvents);
        DWORD cookie = 0;
        point->Advise(gone.get(), &cookie);
        CoUninitialize();
    });
    client.join();
    auto sink = EventSink::Create(DIID__SessionEvents);
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(sink.get(), &cookie), S_OK);

    EXPECT_EQ(source->events.fire(1), S_OK);
    EXPECT_EQ(sink->Calls(1), 1);
}

TEST(ConnectionPoint, AHandlerThatFailsIsToldWithWhatItsExceptionSaid)
{
    auto source = com::make<EventSource>();
    auto sink = EventSink::Create(DIID__SessionEvents);
    sink->failWith = L"Type mismatch: 'x'";
    DWORD cookie = 0;
    ASSERT_EQ(PointOf(*source)->Advise(sink.get(), &cookie), S_OK);
    std::vector<com::SinkFailure> failures;
    EXPECT_EQ(source->events.fire(1, {}, [&](const com::SinkFailure& f) { failures.push_back(f); }), DISP_E_EXCEPTION);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].code, static_cast<HRESULT>(0x800A000D));
    EXPECT_EQ(failures[0].description, L"Type mismatch: 'x'");
    EXPECT_EQ(failures[0].source, L"test handler");
}
