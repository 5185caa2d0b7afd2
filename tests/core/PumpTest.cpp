#include <gtest/gtest.h>

#include <numeric>

#include "core/LPRSourceToSink.h"
#include "core/LSRCNull.h"
#include "support/TestSupport.h"

using test::ScriptedProgress;
using test::VectorSink;
using test::VectorSource;

namespace {

std::vector<int32_t> Ramp(int32_t frames, uint8_t channels)
{
    std::vector<int32_t> v(size_t(frames) * channels);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int32_t(i % 1000) * 16;
    return v;
}

struct Pumped {
    int32_t result;
    VectorSink* sink;
    LSoundSink handle;
};

Pumped Pump(LSoundSource source, int32_t rate, uint8_t channels)
{
    auto* sink = new VectorSink(rate, channels);
    LSoundSink handle(sink);
    LPRSourceToSink::Data data{"Saving", source, handle};
    int32_t result = RunJob("Job", [&](LProgressDialog& d) { return LPRSourceToSink::Process(d, data); });
    return {result, sink, handle};
}

} // namespace

TEST(Pump, WritesExactlyTheSourceInBlocksOf8192)
{
    ScriptedProgress progress;
    for (int32_t frames : {0, 1, 8191, 8192, 8193, 3 * 8192}) {
        std::vector<int32_t> values = Ramp(frames, 2);
        Pumped p = Pump(MakeSource<VectorSource>(values, 44100, 2), 44100, 2);
        EXPECT_EQ(p.result, kJobDone) << frames;
        EXPECT_EQ(p.sink->values, values) << frames;
        int32_t total = std::accumulate(p.sink->writes.begin(), p.sink->writes.end(), 0);
        EXPECT_EQ(total, frames);
        for (int32_t w : p.sink->writes)
            EXPECT_TRUE(w > 0 && w <= 8192);
    }
    EXPECT_EQ(progress.texts[0].front(), "Saving");
    EXPECT_EQ(progress.texts[1].front(), "Please wait...");
}

TEST(Pump, ExactMultipleOfTheBlockEndsWithAFullFinalBlock)
{
    ScriptedProgress progress;
    Pumped p = Pump(MakeSource<VectorSource>(Ramp(2 * 8192, 1), 8000, 1), 8000, 1);
    ASSERT_EQ(p.result, kJobDone);
    EXPECT_EQ(p.sink->writes, (std::vector<int32_t>{8192, 8192}));
}

TEST(Pump, FailsWithoutReadingOnBadSourceOrSink)
{
    ScriptedProgress progress;
    for (uint8_t state : {kSrcSilent, kSrcUpstreamError, kSrcInvalid, kSrcCannotOpen, kSrcNoCodec}) {
        Pumped p = Pump(MakeErrorSource(state), 11025, 1);
        EXPECT_EQ(p.result, kJobFailed);
        EXPECT_TRUE(p.sink->writes.empty());
    }
    LPRSourceToSink::Data noSink{"x", MakeSource<VectorSource>(Ramp(10, 1), 8000, 1), LSoundSink()};
    EXPECT_EQ(RunJob("Job", [&](LProgressDialog& d) { return LPRSourceToSink::Process(d, noSink); }), kJobFailed);

    auto* broken = new VectorSink(8000, 1);
    broken->Fail();
    LPRSourceToSink::Data failed{"x", MakeSource<VectorSource>(Ramp(10, 1), 8000, 1), LSoundSink(broken)};
    EXPECT_EQ(RunJob("Job", [&](LProgressDialog& d) { return LPRSourceToSink::Process(d, failed); }), kJobFailed);
    EXPECT_TRUE(broken->writes.empty());
}

TEST(Pump, ASinkFailingMidwayFailsTheJob)
{
    // A full disk shows up as a sink error after some writes; the job must not report success.
    class FailingSink : public VectorSink {
    public:
        FailingSink() : VectorSink(8000, 1) {}
        void Write(const int32_t* b, int32_t f) override
        {
            VectorSink::Write(b, f);
            if (writes.size() == 2)
                Fail();
        }
    };
    ScriptedProgress progress;
    LPRSourceToSink::Data data{"x", MakeSource<VectorSource>(Ramp(10 * 8192, 1), 8000, 1),
                               LSoundSink(new FailingSink)};
    EXPECT_EQ(RunJob("Job", [&](LProgressDialog& d) { return LPRSourceToSink::Process(d, data); }), kJobFailed);
}

TEST(Pump, CancelStopsAndKeepsWhatWasWritten)
{
    ScriptedProgress progress(3);
    Pumped p = Pump(MakeSource<VectorSource>(Ramp(10 * 8192, 1), 8000, 1), 8000, 1);
    EXPECT_EQ(p.result, kJobCancelled);
    EXPECT_EQ(p.sink->values.size(), size_t(2 * 8192));
    EXPECT_FALSE(progress.percents.empty());
}

TEST(Pump, JobDoesNotRunWithoutAWindow)
{
    ScriptedProgress progress;
    progress.refuseOpen = true;
    bool ran = false;
    EXPECT_EQ(RunJob("Job", [&](LProgressDialog&) {
                  ran = true;
                  return kJobDone;
              }),
              kJobFailed);
    EXPECT_FALSE(ran);
}

TEST(Pump, AdaptsChannelsThenRateThenLimitsPeaks)
{
    ScriptedProgress progress;
    // Loud mono at 22050 into a stereo 44100 sink.
    std::vector<int32_t> loud = test::Sine(22050, 22050, 440.0, 0x180000, 1);
    Pumped p = Pump(MakeSource<VectorSource>(loud, 22050, 1, 0x200000), 44100, 2);
    ASSERT_EQ(p.result, kJobDone);
    ASSERT_EQ(p.sink->values.size(), size_t(2 * 44100));
    for (size_t i = 0; i < p.sink->values.size(); i += 2) {
        ASSERT_EQ(p.sink->values[i], p.sink->values[i + 1]);
        ASSERT_LE(std::abs(p.sink->values[i]), 0x7FFF0);
    }
}
