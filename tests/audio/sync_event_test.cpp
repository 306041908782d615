// The auto-reset events and the wait for any of them.
#include "platform/sync_event.h"

#include <gtest/gtest.h>

#include <thread>

TEST(SyncEvent, WaitTakesTheLowestSignalledEventAndResetsOnlyThatOne) {
    SyncEvent a, b, c;
    SyncEvent* events[] = {&a, &b, &c};
    c.set();
    b.set();
    EXPECT_EQ(waitForAny(events, 3, 0), 1);
    EXPECT_EQ(waitForAny(events, 3, 0), 2);
    EXPECT_EQ(waitForAny(events, 3, 0), kWaitFailed);  // both taken: nothing left
    a.set();
    a.reset();
    EXPECT_EQ(waitForAny(events, 3, 10), kWaitFailed);
}

TEST(SyncEvent, BadListsFailAtOnce) {
    SyncEvent a;
    SyncEvent* withNull[] = {&a, nullptr};
    EXPECT_EQ(waitForAny(nullptr, 1), kWaitFailed);
    EXPECT_EQ(waitForAny(withNull, 0), kWaitFailed);
    EXPECT_EQ(waitForAny(withNull, 2), kWaitFailed);
}

TEST(SyncEvent, WakesAWaiterOnAnotherThread) {
    SyncEvent a, b;
    SyncEvent* events[] = {&a, &b};
    int woken = -2;
    std::thread waiter([&] { woken = waitForAny(events, 2); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    b.set();
    waiter.join();
    EXPECT_EQ(woken, 1);
    EXPECT_EQ(waitForAny(events, 2, 0), kWaitFailed);
}
