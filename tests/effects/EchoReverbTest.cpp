#include <gtest/gtest.h>

#include "edit/EditTestSupport.h"
#include "effects/EffectsTestSupport.h"
#include "effects/LEfFilterJobs.h"
#include "effects/LSRCEcho.h"
#include "effects/LSRCReverb.h"
#include "effects/SignalMeasure.h"

using test::Frames;
using test::ListOf;

namespace {

// The recurrences written out plainly, in 64 bits.
std::vector<int32_t> DirectEcho(const std::vector<int32_t>& in, size_t length, int64_t g)
{
    std::vector<int64_t> line(length, 0);
    std::vector<int32_t> out;
    size_t i = 0;
    for (int32_t x : in) {
        const int64_t y = x + ((line[i] * g) >> 8);
        line[i] = y;
        out.push_back(int32_t(y));
        i = (i + 1) % length;
    }
    return out;
}

std::vector<int32_t> DirectReverb(const std::vector<int32_t>& in, size_t length, LSRCReverb::Gains g)
{
    std::vector<int64_t> line(length, 0);
    size_t t[4], w = 0;
    for (int32_t n = 0; n < 4; ++n)
        t[n] = size_t(LSRCReverb::TapStart(int32_t(length), n));
    const int64_t gains[4] = {g.g1, g.g2, g.g3, g.g4};
    std::vector<int32_t> out;
    for (int32_t x : in) {
        int64_t y = x;
        for (int32_t n = 0; n < 4; ++n) {
            y += (line[t[n]] * gains[n]) >> 9;
            t[n] = (t[n] + 1) % length;
        }
        y += (line[w] * g.feedback) >> 9;
        line[w] = y;
        w = (w + 1) % length;
        out.push_back(int32_t(y));
    }
    return out;
}

std::vector<int32_t> Slice(const std::vector<int32_t>& v, size_t from, size_t to)
{
    return std::vector<int32_t>(v.begin() + ptrdiff_t(from), v.begin() + ptrdiff_t(to));
}

struct Case {
    int32_t rate;
    uint8_t channels;
    int32_t timeMs;
    int32_t percent;
};

} // namespace

TEST(Echo, MatchesItsRecurrenceInAnyChunkingAndStartsSilentAfterSeek)
{
    EXPECT_EQ(LSRCEcho::LineLength(10, 8000, 1), 128) << "80 values, raised to 128";
    EXPECT_EQ(LSRCEcho::FeedbackGain(50), 128);
    for (Case c : {Case{44100, 2, 10, 50}, Case{8000, 1, 10, 99}, Case{22050, 1, 37, -60}, Case{11025, 2, 50, 0}}) {
        const std::vector<int32_t> in = test::Noise(size_t(6000) * c.channels, 0x7FFF0, uint32_t(c.rate));
        const size_t length = size_t(LSRCEcho::LineLength(c.timeMs, c.rate, c.channels));
        const std::vector<int32_t> expected =
            c.percent == 0 ? in : DirectEcho(in, length, LSRCEcho::FeedbackGain(c.percent));
        LSoundSource echo = LEfEchoMaker(c.percent, c.timeMs).MakeSource(test::Over(in, c.rate, c.channels));
        EXPECT_EQ(test::ReadAll(echo, 1000), expected) << c.rate;
        echo->Seek(0);
        EXPECT_EQ(test::ReadAll(echo, 37), expected) << c.rate << " after Seek";
    }
}

TEST(Reverb, MatchesItsRecurrenceInAnyChunkingAndStartsSilentAfterSeek)
{
    for (Case c : {Case{44100, 2, 50, 100}, Case{8000, 1, 50, 37}, Case{22050, 2, 1000, 100}, Case{8000, 1, 60, 0}}) {
        const std::vector<int32_t> in = test::Noise(size_t(30000) * c.channels, 0x7FFF0, uint32_t(c.timeMs));
        const size_t length = size_t(LSRCEcho::LineLength(c.timeMs, c.rate, c.channels));
        const std::vector<int32_t> expected =
            c.percent == 0 ? in : DirectReverb(in, length, LSRCReverb::GainsFor(c.percent));
        LSoundSource reverb = LEfReverbMaker(c.percent, c.timeMs).MakeSource(test::Over(in, c.rate, c.channels));
        EXPECT_EQ(test::ReadAll(reverb, 8192), expected) << c.timeMs;
        reverb->Seek(0);
        EXPECT_EQ(test::ReadAll(reverb, 333), expected) << c.timeMs << " after Seek";
    }
}

TEST(EchoReverbJobs, ChangeOnlyTheRangeWhichStartsWithAnEmptyLine)
{
    test::ScriptedProgress progress;
    const std::vector<int32_t> in = test::Noise(size_t(20000) * 2, 0x7FFF0);
    LCutListAudio list = ListOf(in, 44100, 2);
    ASSERT_EQ(RunJob("Echo", [&](LProgressDialog& d) { return LEfFilterJobs::EfEcho(d, list, 1000, 15000, 50, 100); }),
              kJobDone);
    std::vector<int32_t> out = Frames(list);
    ASSERT_EQ(out.size(), in.size());
    EXPECT_EQ(Slice(out, 0, 2000), Slice(in, 0, 2000));
    EXPECT_EQ(Slice(out, 30000, out.size()), Slice(in, 30000, in.size()));
    EXPECT_EQ(Slice(out, 2000, 30000), DirectEcho(Slice(in, 2000, 30000), 8820, 128));
    EXPECT_EQ(progress.texts[0].back(), "Echo");

    LCutListAudio other = ListOf(in, 44100, 2);
    ASSERT_EQ(
        RunJob("Reverb", [&](LProgressDialog& d) { return LEfFilterJobs::EfReverb(d, other, 19999, 20000, 100, 50); }),
        kJobDone);
    out = Frames(other);
    EXPECT_EQ(Slice(out, 0, 39998), Slice(in, 0, 39998)) << "a one-frame selection";
    EXPECT_EQ(Slice(out, 39998, 40000), Slice(in, 39998, 40000)) << "nothing in the line yet";
    ASSERT_EQ(RunJob("Reverb", [&](LProgressDialog& d) { return LEfFilterJobs::EfReverb(d, other, 500, 500, 100, 50); }),
              kJobDone);
    EXPECT_EQ(other.GetLength(), 20000);
}

TEST(EchoReverb, ExtremeSettingsStayDefinedAndSaturate)
{
    // 96 kHz stereo, the longest time and the largest gains, on full-scale
    // noise: values build up far beyond full scale without wrapping.
    const std::vector<int32_t> in = test::Noise(size_t(96000) * 4 * 2, 0x7FFF0);
    for (LSoundSource s : {LEfEchoMaker(99, 3000).MakeSource(test::Over(in, 96000, 2)),
                           LEfEchoMaker(65535, INT32_MAX).MakeSource(test::Over(in, 96000, 2)),
                           LEfReverbMaker(100, 1000).MakeSource(test::Over(in, 96000, 2)),
                           LEfReverbMaker(-32768, -1).MakeSource(test::Over(in, 96000, 2))}) {
        const std::vector<int32_t> out = test::ReadAll(s, 8192);
        ASSERT_EQ(out.size(), in.size());
        EXPECT_GT(test::Rms(out, out.size() - 20000, out.size()), test::Rms(in, 0, 20000));
    }
    // A level that an amplified cut can deliver (64 times full scale), held
    // under 99 % feedback, reaches the 32-bit ceiling and stays there instead
    // of flipping sign.
    std::vector<int32_t> dc(size_t(8000) * 20, 64 * 0x7FFF0);
    const std::vector<int32_t> held = test::ReadAll(LEfEchoMaker(99, 10).MakeSource(test::Over(dc, 8000, 1)));
    EXPECT_EQ(held.back(), INT32_MAX);
    EXPECT_GT(*std::min_element(held.begin(), held.end()), 0);
}
