// A job on a worker runs its body on a thread of its own; the window shows what the
// body set, and its Cancel reaches the body.
#include <gtest/gtest.h>

#include <thread>

#include "core/LProgressDialog.h"
#include "support/TestSupport.h"

TEST(JobOnWorker, RunsTheBodyOffTheWindowsThreadAndPassesCancelAndTextsOn)
{
    test::ScriptedProgress progress(1);
    const std::thread::id window = std::this_thread::get_id();
    std::thread::id body;
    const int32_t r = RunJobOnWorker("Writing Audio CD", [&](LProgressDialog& d) {
        body = std::this_thread::get_id();
        d.SetText("Burning Track 1", 0);
        d.SetProgress(0.5);
        // Nothing but the window's Cancel ends this loop.
        while (!d.IsCancelled())
            std::this_thread::yield();
        d.SetText("Stopped", 1);
        return int32_t(kJobCancelled);
    });
    EXPECT_EQ(r, kJobCancelled);
    EXPECT_NE(body, window);
    EXPECT_EQ(progress.titles, std::vector<std::string>{"Writing Audio CD"});
    ASSERT_FALSE(progress.texts[1].empty());
    EXPECT_EQ(progress.texts[1].back(), "Stopped");
    EXPECT_EQ(progress.percents.back(), 50);

    // Without a window the body never runs.
    progress.refuseOpen = true;
    bool ran = false;
    EXPECT_EQ(RunJobOnWorker("Writing Audio CD", [&](LProgressDialog&) { ran = true; return int32_t(kJobDone); }),
              kJobFailed);
    EXPECT_FALSE(ran);
}
