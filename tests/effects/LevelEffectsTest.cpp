#include <gtest/gtest.h>

#include "core/Q24.h"
#include "edit/EditTestSupport.h"
#include "effects/EffectsTestSupport.h"
#include "effects/LEfChangeSpeedPitch.h"
#include "effects/LEfEnvelope.h"
#include "effects/LEfNormalize.h"

using test::Frames;
using test::ListOf;

namespace {

int32_t RunEnvelope(LCutListAudio& list, int32_t start, int32_t end, const PointList& points)
{
    LEfEnvelope::Data data{&list, start, end, points};
    return RunJob("Envelope", [&](LProgressDialog& d) { return LEfEnvelope::Process(d, data); });
}

std::vector<int32_t> Slice(const std::vector<int32_t>& v, size_t from, size_t to)
{
    return std::vector<int32_t>(v.begin() + ptrdiff_t(from), v.begin() + ptrdiff_t(to));
}

} // namespace

TEST(Envelope, FadeInStepsPerBlockAndSharesTheGainAcrossChannels)
{
    test::ScriptedProgress progress;
    const int32_t frames = 20000, before = 100, after = 50;
    std::vector<int32_t> in = test::Noise(size_t(before + frames + after) * 2, 0x7FFF0);
    LCutListAudio list = ListOf(in, 44100, 2);
    ASSERT_EQ(RunEnvelope(list, before, before + frames, LEfEnvelope::FadeInPoints()), kJobDone);
    std::vector<int32_t> out = Frames(list);
    ASSERT_EQ(out.size(), in.size());
    EXPECT_EQ(Slice(out, 0, before * 2), Slice(in, 0, before * 2));
    EXPECT_EQ(Slice(out, size_t(before + frames) * 2, out.size()), Slice(in, size_t(before + frames) * 2, in.size()));
    // The gain rises from 0 towards unity in integer steps recomputed at every
    // 8192-frame block: 838 per frame, then what the remaining distance gives.
    int32_t gain = 0, step = 0;
    for (int32_t f = 0; f < frames; ++f, gain += step) {
        if (f % 8192 == 0)
            step = (kQ24Unity - gain) / (frames - f);
        for (size_t i = size_t(before + f) * 2; i < size_t(before + f) * 2 + 2; ++i)
            ASSERT_EQ(out[i], Q24Mul(in[i], gain)) << "frame " << f;
    }
    EXPECT_EQ((kQ24Unity - 0) / frames, 838);
}

TEST(Envelope, PointsAtTheSameXMakeAStepAndPositionsNeverOverflow)
{
    test::ScriptedProgress progress;
    std::vector<int32_t> in(3000, 0x10000);
    LCutListAudio list = ListOf(in, 8000, 1);
    // Full gain up to x = 85, then nothing.
    ASSERT_EQ(RunEnvelope(list, 0, 3000, PointList::Of({{0, 128}, {85, 128}, {85, 0}, {255, 0}})), kJobDone);
    std::vector<int32_t> out = Frames(list);
    const int32_t edge = LEfEnvelope::PointPosition(3000, 85);
    EXPECT_EQ(edge, 1000);
    EXPECT_EQ(out[size_t(edge - 1)], 0x10000);
    EXPECT_EQ(out[size_t(edge)], 0);
    EXPECT_EQ(out.back(), 0);
    EXPECT_EQ(LEfEnvelope::PointPosition(INT32_MAX, 255), INT32_MAX);
    EXPECT_EQ(LEfEnvelope::PointPosition(INT32_MAX, 128), int32_t(int64_t(INT32_MAX) * 128 / 255));
    // y = 255 is just under twice the level; the largest gain does not wrap.
    LCutListAudio loud = ListOf({0x7FFF0, -0x7FFF0}, 8000, 1);
    ASSERT_EQ(RunEnvelope(loud, 0, 2, PointList::Of({{0, 255}, {255, 255}})), kJobDone);
    EXPECT_EQ(Frames(loud), (std::vector<int32_t>{Q24Mul(0x7FFF0, 255 << 17), Q24Mul(-0x7FFF0, 255 << 17)}));
}

TEST(Envelope, BadListsAndRangesLeaveTheAudioAlone)
{
    test::ScriptedProgress progress;
    const std::vector<int32_t> in = test::Noise(500, 1000);
    LCutListAudio list = ListOf(in, 8000, 1);
    EXPECT_EQ(RunEnvelope(list, 0, 500, PointList::Of({{0, 0}})), kJobFailed);
    EXPECT_EQ(RunEnvelope(list, 300, 200, LEfEnvelope::FadeOutPoints()), kJobDone);
    EXPECT_EQ(RunEnvelope(list, 200, 200, LEfEnvelope::FadeOutPoints()), kJobDone);
    EXPECT_EQ(Frames(list), in);
    // An unvalidated list (as batch data may hold) with x going backwards runs
    // as if each smaller x were raised to its predecessor's.
    PointList backwards = PointList::Of({{0, 128}, {200, 128}, {100, 0}, {255, 0}});
    LCutListAudio a = ListOf(in, 8000, 1), b = ListOf(in, 8000, 1);
    ASSERT_EQ(RunEnvelope(a, 0, 500, backwards), kJobDone);
    ASSERT_EQ(RunEnvelope(b, 0, 500, PointList::Of({{0, 128}, {200, 128}, {200, 0}, {255, 0}})), kJobDone);
    EXPECT_EQ(Frames(a), Frames(b));
    // Cancel: unchanged.
    test::ScriptedProgress cancel(1);
    EXPECT_EQ(RunEnvelope(list, 0, 500, LEfEnvelope::FadeInPoints()), kJobCancelled);
    EXPECT_EQ(Frames(list), in);
}

TEST(Normalize, GainFromThePeakCappedAt400)
{
    test::ScriptedProgress progress;
    EXPECT_EQ(LEfNormalize::GainPercent(100, 524272 / 4), 400);
    EXPECT_EQ(LEfNormalize::GainPercent(65535, 1), 400);  // no 32-bit overflow
    // The negative peak counts; frames outside the selection keep their gain.
    std::vector<int32_t> in{1000, 5000, -0x40000, 7, 0x7FFF0};
    LCutListAudio list = ListOf(in, 8000, 1);
    LEfNormalize::Data data{&list, 1, 4, 100, 0};
    ASSERT_EQ(RunJob("Normalize", [&](LProgressDialog& d) { return LEfNormalize::Process(d, data); }), kJobDone);
    EXPECT_EQ(data.appliedPercent, 199);
    std::vector<int32_t> out = Frames(list);
    EXPECT_EQ(out[0], 1000);
    EXPECT_EQ(out[4], 0x7FFF0);
    EXPECT_EQ(out[2], Q24Mul(-0x40000, (kQ24Unity / 100) * 199));
    // Silence changes nothing.
    LCutListAudio quiet = ListOf(std::vector<int32_t>(100, 0), 8000, 1);
    LEfNormalize::Data q{&quiet, 0, 100, 100, 0};
    ASSERT_EQ(RunJob("Normalize", [&](LProgressDialog& d) { return LEfNormalize::Process(d, q); }), kJobDone);
    EXPECT_EQ(q.appliedPercent, 100);
    EXPECT_EQ(quiet.Cuts().front().gain, kQ24Unity);
}

TEST(ChangeSpeedPitch, SelectionEndFollowsTheNewLengthAndOutsideIsKept)
{
    test::ScriptedProgress progress;
    const std::vector<int32_t> in = test::Noise(size_t(30000) * 2, 0x7FFF0);
    LCutListAudio list = ListOf(in, 22050, 2);
    LEfChangeSpeedPitch::Data data{&list, 1000, 21000, 200, LEfChangeSpeedPitch::kSimple};
    ASSERT_EQ(RunJob("s", [&](LProgressDialog& d) { return LEfChangeSpeedPitch::Process(d, data); }), kJobDone);
    EXPECT_EQ(data.stEnd, 1000 + 10000);
    EXPECT_EQ(list.GetLength(), 30000 - 10000);
    std::vector<int32_t> out = Frames(list);
    EXPECT_EQ(Slice(out, 0, 2000), Slice(in, 0, 2000));
    EXPECT_EQ(Slice(out, 22000, out.size()), Slice(in, 42000, in.size()));
    // A reversed range and a cancel change nothing.
    LCutListAudio other = ListOf(in, 22050, 2);
    LEfChangeSpeedPitch::Data reversed{&other, 500, 100, 150, 1};
    ASSERT_EQ(RunJob("s", [&](LProgressDialog& d) { return LEfChangeSpeedPitch::Process(d, reversed); }), kJobDone);
    EXPECT_EQ(reversed.stEnd, 100);
    test::ScriptedProgress cancel(1);
    LEfChangeSpeedPitch::Data cancelled{&other, 0, 30000, 150, 1};
    ASSERT_EQ(RunJob("s", [&](LProgressDialog& d) { return LEfChangeSpeedPitch::Process(d, cancelled); }),
              kJobCancelled);
    EXPECT_EQ(Frames(other), in);
}

TEST(LevelEffects, ExtremeValuesAndTinySelectionsKeepTheRestExact)
{
    test::ScriptedProgress progress;
    // 96 kHz stereo at the cut list's largest gain, full-scale noise.
    std::vector<int32_t> in = test::Noise(size_t(20000) * 2, 0x7FFF0, 7);
    LCutListAudio base = ListOf(in, 96000, 2);
    base.EfAmplify(0, 20000, 65535);
    const std::vector<int32_t> loud = Frames(base);
    struct Range {
        int32_t start, end;
    } ranges[] = {{0, 1}, {19999, 20000}, {5000, 5001}, {0, 20000}, {123, 17001}};
    for (const Range& r : ranges) {
        auto check = [&](LCutListAudio& list, int32_t newEnd, const char* what) {
            std::vector<int32_t> out = Frames(list);
            const size_t head = size_t(r.start) * 2, tail = size_t(20000 - r.end) * 2;
            ASSERT_EQ(out.size(), head + size_t(newEnd - r.start) * 2 + tail) << what;
            EXPECT_EQ(Slice(out, 0, head), Slice(loud, 0, head)) << what << " " << r.start;
            EXPECT_EQ(Slice(out, out.size() - tail, out.size()), Slice(loud, loud.size() - tail, loud.size()))
                << what << " " << r.start;
        };
        for (const PointList& p : {LEfEnvelope::FadeInPoints(), PointList::Of({{0, 255}, {255, 255}})}) {
            LCutListAudio list = base;
            ASSERT_EQ(RunEnvelope(list, r.start, r.end, p), kJobDone);
            check(list, r.end, "envelope");
        }
        LCutListAudio normalized = base;
        LEfNormalize::Data n{&normalized, r.start, r.end, 100, 0};
        ASSERT_EQ(RunJob("n", [&](LProgressDialog& d) { return LEfNormalize::Process(d, n); }), kJobDone);
        check(normalized, r.end, "normalize");
        for (int32_t mode : {0, 1, 2})
            for (int32_t percent : {0, 300}) {
                LCutListAudio list = base;
                LEfChangeSpeedPitch::Data s{&list, r.start, r.end, percent, mode};
                ASSERT_EQ(RunJob("s", [&](LProgressDialog& d) { return LEfChangeSpeedPitch::Process(d, s); }), kJobDone);
                check(list, s.stEnd, "speed");
            }
    }
}
