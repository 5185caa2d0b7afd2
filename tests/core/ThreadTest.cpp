#include <gtest/gtest.h>

#include <atomic>

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
