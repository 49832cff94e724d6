// A worker's ring runs the callback on the notifier's home thread, also while that thread
// waits in CoWaitForMultipleHandles, and never on the worker.
#include "com/Apartment.h"
#include "com/ThreadNotifier.h"
#include "support/EventSink.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

TEST(ThreadNotifier, ARingFromAWorkerRunsOnTheHomeThreadWhileItWaitsPumping)
{
    com::Event rang;
    DWORD ranOn = 0;
    int runs = 0;
    com::ThreadNotifier notifier([&] {
        ranOn = GetCurrentThreadId();
        ++runs;
        rang.set();
    });
    std::thread worker([&] { notifier.ring(); });
    worker.join();
    EXPECT_EQ(runs, 0); // nothing runs before the home thread looks at its messages
    ASSERT_TRUE(test::PumpUntil(rang.get(), 5000));
    EXPECT_EQ(ranOn, GetCurrentThreadId());
    EXPECT_EQ(runs, 1);
}

TEST(ThreadNotifier, TheCallbackMayDestroyItsNotifier)
{
    com::Event rang;
    std::unique_ptr<com::ThreadNotifier> notifier;
    notifier = std::make_unique<com::ThreadNotifier>([&] {
        notifier.reset();
        rang.set();
    });
    com::ThreadNotifier* raw = notifier.get();
    std::thread worker([&] { raw->ring(); });
    worker.join();
    ASSERT_TRUE(test::PumpUntil(rang.get(), 5000));
    EXPECT_FALSE(notifier);
}
