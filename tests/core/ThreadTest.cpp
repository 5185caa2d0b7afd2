#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "core/LDispatcher.h"
#include "core/LThread.h"
#include "core/LThreadQueuedNotify.h"

namespace {

class Counter : public LThread {
public:
    ~Counter() override { StopThreadTimed(5000); }
    std::atomic<int> runs{0};
    LEvent release;
    bool waitForStop = true;

protected:
    void ThreadBody() override
    {
        ++runs;
        if (waitForStop)
            StopEvent().WaitFor(60000);
        else
            release.WaitFor(60000);
    }
};

class Notified : public LThreadQueuedNotify {
public:
    int calls = 0;

protected:
    void OnNotify() override { ++calls; }
};

} // namespace

TEST(Thread, StartIsIgnoredWhileRunningAndRestartsAfterwards)
{
    Counter t;
    t.Start();
    t.Start();
    t.StopThreadTimed(5000);
    EXPECT_EQ(t.runs.load(), 1);
    EXPECT_FALSE(t.IsRunning());

    t.waitForStop = false;
    t.Start(LThreadPriority::Lowest);
    t.release.Set();
    t.StopThreadTimed(5000);
    t.Start();
    t.StopThreadTimed(5000);
    EXPECT_EQ(t.runs.load(), 3);
}

TEST(Thread, QueuedNotificationsRunOnTheDrainingThreadAndDieWithTheirOwner)
{
    auto* n = new Notified;
    std::thread worker([n] {
        n->Notify();
        n->Notify();
    });
    worker.join();
    EXPECT_EQ(n->calls, 0) << "nothing runs until the user-interface thread drains";
    LUiDispatcher().DrainPending();
    EXPECT_EQ(n->calls, 2);
    n->Notify();
    delete n;
    EXPECT_EQ(LUiDispatcher().DrainPending(), 1) << "a dropped notification runs as a no-op";
}

TEST(Event, ASetWakesEveryWaiterAndStaysUntilReset)
{
    // Three threads wait on one event, one of them together with another event.
    LEvent event, other;
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 2; ++i)
        waiters.emplace_back([&] { woken += event.WaitFor(60000) ? 1 : 0; });
    waiters.emplace_back([&] { woken += LEvent::WaitAny(other, event, 60000) == 1 ? 1 : 0; });
    // A Set undone before anyone could see it leaves nothing behind to wake them.
    event.Set();
    event.Reset();
    event.Set();
    for (std::thread& t : waiters)
        t.join();
    EXPECT_EQ(woken.load(), 3);
    EXPECT_TRUE(event.WaitFor(0)) << "manual reset: still set";
    event.Reset();
    EXPECT_FALSE(event.WaitFor(20));
    EXPECT_EQ(LEvent::WaitAny(other, event, 20), -1);
    other.Set();
    event.Set();
    EXPECT_EQ(LEvent::WaitAny(other, event, 0), 0) << "the first of two set events";
}
