#include <gtest/gtest.h>

#include "edit/EditTestSupport.h"
#include "effects/EffectsTestSupport.h"
#include "effects/LDCOffsetCorrection.h"
#include "effects/LEfAutoTrim.h"
#include "effects/LEfMixPaste.h"
#include "effects/LEfReverse.h"

using test::Frames;
using test::ListOf;

namespace {

std::vector<int32_t> Slice(const std::vector<int32_t>& v, size_t from, size_t to)
{
    return std::vector<int32_t>(v.begin() + ptrdiff_t(from), v.begin() + ptrdiff_t(to));
}

std::vector<int32_t> Plus(std::vector<int32_t> v, int32_t d)
{
    for (int32_t& x : v)
        x += d;
    return v;
}

int32_t AutoTrim(LCutListAudio& list, int32_t threshold, int32_t& start, int32_t& end)
{
    LEfAutoTrim::Data data{&list, threshold};
    const int32_t result = RunJob("Auto Trim", [&](LProgressDialog& d) { return LEfAutoTrim::Process(d, data); });
    start = data.start;
    end = data.end;
    return result;
}

int32_t Mix(LCutListAudio& list, int32_t start, int32_t end, const LCutListAudio& mix, int32_t mode,
            int32_t volume = 100, int32_t pan = 50, int32_t fade = 250)
{
    LEfMixPaste::Data data{&list, start, end, &mix, volume, mode, fade, pan};
    return RunJob("Mix", [&](LProgressDialog& d) { return LEfMixPaste::Process(d, data); });
}

} // namespace

TEST(AutoTrim, KeepsOneBlockOfMarginAndReadsEveryChannel)
{
    test::ScriptedProgress progress;
    // 20 blocks of 256 stereo frames, quiet (peak byte 8) except the right
    // channel of blocks 5..14 (byte 255).
    std::vector<int32_t> in(size_t(20 * 256) * 2, 0x4000);
    for (size_t f = 5 * 256; f < 15 * 256; ++f)
        in[f * 2 + 1] = (f % 2) ? 0x7FFF0 : -0x7FFF0;
    LCutListAudio list = ListOf(in, 8000, 2);
    int32_t start, end;
    ASSERT_EQ(AutoTrim(list, -20, start, end), kJobDone);
    EXPECT_EQ(start, 4 * 256);
    EXPECT_EQ(end, 15 * 256);
    EXPECT_EQ(Frames(list), Slice(in, 4 * 256 * 2, 15 * 256 * 2));

    // A cut amplified to 400 % counts four times as loud (8 becomes 31 with
    // the gain's own rounding, above the threshold of 25); the ceiling gain
    // keeps its bytes at 255.
    LCutListAudio louder = ListOf(in, 8000, 2);
    louder.EfAmplify(0, 5 * 256, 400);
    louder.EfAmplifyAll(100000);
    const std::vector<uint8_t> peaks = LEfAutoTrim::ReadPeaks(louder);
    EXPECT_EQ(peaks.size(), size_t(21 * 2 * 2));
    EXPECT_EQ(peaks[4 * 4], 255);
    EXPECT_EQ(peaks[10 * 4 + 2], 255);
    LCutListAudio amplified = ListOf(in, 8000, 2);
    amplified.EfAmplify(0, 5 * 256, 400);
    EXPECT_EQ(LEfAutoTrim::ReadPeaks(amplified)[2 * 4], 31);
    ASSERT_EQ(AutoTrim(amplified, -20, start, end), kJobDone);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 15 * 256);
}

TEST(AutoTrim, QuietFilesAndLoudStartsKeepTheirFrames)
{
    test::ScriptedProgress progress;
    int32_t start, end;
    LCutListAudio silent = ListOf(std::vector<int32_t>(10000, 0), 8000, 1);
    ASSERT_EQ(AutoTrim(silent, -20, start, end), kJobDone);
    EXPECT_EQ(silent.GetLength(), 10000);
    // Loud from block 0: the start stays at frame 0. A silent cut in the
    // middle and a short list are handled.
    std::vector<int32_t> in(5000, 0x100);
    std::fill(in.begin(), in.begin() + 600, 0x7FFF0);
    LCutListAudio list = ListOf(in, 8000, 1);
    list.EfInsertSilence(2000, 3000);
    ASSERT_EQ(AutoTrim(list, -20, start, end), kJobDone);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 3 * 256);
    LCutListAudio tiny = ListOf({0x7FFF0, 0}, 8000, 1);
    ASSERT_EQ(AutoTrim(tiny, 127, start, end), kJobDone);
    EXPECT_EQ(tiny.GetLength(), 2);
    LCutListAudio empty;
    ASSERT_EQ(AutoTrim(empty, -127, start, end), kJobDone);
}

TEST(DCOffset, ConstantOffsetsGoToZeroPerChannel)
{
    test::ScriptedProgress progress;
    std::vector<int32_t> in = test::Sine(16000, 8000, 500, 0x40000, 2);  // whole periods
    for (size_t i = 0; i < in.size(); i += 2) {
        in[i] = 100;
        in[i + 1] -= 50;
    }
    std::vector<int32_t> padded = test::Noise(2000, 0x7FFF0);
    padded.insert(padded.begin() + 1000, in.begin(), in.end());
    LCutListAudio list = ListOf(padded, 8000, 2);
    LDCOffsetCorrection::Data data{&list, 500, 500 + 16000, {}};
    ASSERT_EQ(RunJob("DC", [&](LProgressDialog& d) { return LDCOffsetCorrection::Process(d, data); }), kJobDone);
    EXPECT_EQ(data.offsets, (std::vector<int32_t>{100, -50}));
    const std::vector<int32_t> out = Frames(list);
    EXPECT_EQ(Slice(out, 0, 1000), Slice(padded, 0, 1000));
    EXPECT_EQ(Slice(out, 33000, 34000), Slice(padded, 33000, 34000));
    for (size_t i = 1000; i < 33000; i += 2) {
        ASSERT_EQ(out[i], 0) << i;
        ASSERT_EQ(out[i + 1], padded[i + 1] + 50) << i;
    }
    // Cancel in the second pass leaves the list alone.
    test::ScriptedProgress cancel(4);
    LDCOffsetCorrection::Data again{&list, 0, 17000, {}};
    EXPECT_EQ(RunJob("DC", [&](LProgressDialog& d) { return LDCOffsetCorrection::Process(d, again); }), kJobCancelled);
    EXPECT_EQ(Frames(list), out);
}

TEST(Reverse, MirrorsTheRangeKeepsChannelOrderAndTwiceIsIdentity)
{
    test::ScriptedProgress progress;
    const std::vector<int32_t> in = test::Noise(size_t(20001) * 2, 0x7FFF0);
    LCutListAudio list = ListOf(in, 44100, 2);
    LEfReverse::Data data{&list, 3, 19999};
    ASSERT_EQ(RunJob("Reverse", [&](LProgressDialog& d) { return LEfReverse::Process(d, data); }), kJobDone);
    const std::vector<int32_t> once = Frames(list);
    ASSERT_EQ(once.size(), in.size());
    EXPECT_EQ(Slice(once, 0, 6), Slice(in, 0, 6));
    EXPECT_EQ(Slice(once, 19999 * 2, in.size()), Slice(in, 19999 * 2, in.size()));
    for (size_t f = 3; f < 19999; ++f) {
        ASSERT_EQ(once[f * 2], in[(19999 + 3 - 1 - f) * 2]) << f;
        ASSERT_EQ(once[f * 2 + 1], in[(19999 + 3 - 1 - f) * 2 + 1]) << f;
    }
    ASSERT_EQ(RunJob("Reverse", [&](LProgressDialog& d) { return LEfReverse::Process(d, data); }), kJobDone);
    EXPECT_EQ(Frames(list), in);
    test::ScriptedProgress cancel(2);
    EXPECT_EQ(RunJob("Reverse", [&](LProgressDialog& d) { return LEfReverse::Process(d, data); }), kJobCancelled);
    EXPECT_EQ(Frames(list), in);
}

TEST(MixPaste, ThreeSecondClipIntoOneSecondInEachMode)
{
    test::ScriptedProgress progress;
    const int32_t rate = 8000;
    const std::vector<int32_t> in = test::Noise(size_t(4 * rate), 0x10000);
    const LCutListAudio clip = ListOf(std::vector<int32_t>(size_t(3 * rate), 0x1000), rate, 1);

    // Insert silence: what follows the selection moves 2 s later.
    LCutListAudio a = ListOf(in, rate, 1);
    ASSERT_EQ(Mix(a, rate, 2 * rate, clip, LEfMixPaste::kInsertSilence), kJobDone);
    std::vector<int32_t> out = Frames(a);
    ASSERT_EQ(out.size(), size_t(6 * rate));
    EXPECT_EQ(Slice(out, 0, rate), Slice(in, 0, rate));
    EXPECT_EQ(Slice(out, rate, 2 * rate), Plus(Slice(in, rate, 2 * rate), 0x1000));
    EXPECT_EQ(Slice(out, 2 * rate, 4 * rate), std::vector<int32_t>(size_t(2 * rate), 0x1000));
    EXPECT_EQ(Slice(out, 4 * rate, 6 * rate), Slice(in, 2 * rate, 4 * rate));

    // Increase selection: mixed over the 2 s that follow.
    LCutListAudio b = ListOf(in, rate, 1);
    ASSERT_EQ(Mix(b, rate, 2 * rate, clip, LEfMixPaste::kExtendSelection), kJobDone);
    out = Frames(b);
    ASSERT_EQ(out.size(), in.size());
    EXPECT_EQ(Slice(out, rate, 4 * rate), Plus(Slice(in, rate, 4 * rate), 0x1000));

    // Fade out mix: the selection keeps its length; the clip fades over its
    // last 250 frames inside it.
    LCutListAudio c = ListOf(in, rate, 1);
    ASSERT_EQ(Mix(c, rate, 2 * rate, clip, LEfMixPaste::kFadeMixOut), kJobDone);
    out = Frames(c);
    ASSERT_EQ(out.size(), in.size());
    EXPECT_EQ(Slice(out, rate, 2 * rate - 250), Plus(Slice(in, rate, 2 * rate - 250), 0x1000));
    EXPECT_EQ(out[size_t(2 * rate - 250)] - in[size_t(2 * rate - 250)], 0x1000);
    EXPECT_NEAR(out[size_t(2 * rate - 125)] - in[size_t(2 * rate - 125)], 0x800, 0x20);
    EXPECT_LE(out[size_t(2 * rate - 1)] - in[size_t(2 * rate - 1)], 0x20);
    EXPECT_EQ(Slice(out, 2 * rate, out.size()), Slice(in, 2 * rate, in.size()));
    EXPECT_EQ(LEfMixPaste::SelectionEnd(rate, clip, rate), 4 * rate);
}

TEST(MixPaste, PanConversionShortMixesAndNothingLostOnCancel)
{
    test::ScriptedProgress progress;
    const std::vector<int32_t> in = test::Noise(size_t(16000) * 2, 0x10000);
    // A mono clip at twice the rate becomes 1000 stereo frames at 8000 Hz.
    const LCutListAudio clip = ListOf(std::vector<int32_t>(2000, 0x2000), 16000, 1);
    for (int32_t pan : {0, 100}) {
        LCutListAudio list = ListOf(in, 8000, 2);
        LEfMixPaste::Data data{&list, 100, 5000, &clip, 50, LEfMixPaste::kInsertSilence, 0, pan};
        ASSERT_EQ(RunJob("Mix", [&](LProgressDialog& d) { return LEfMixPaste::Process(d, data); }), kJobDone);
        EXPECT_EQ(data.mixedEnd, 1100) << "a shorter mix covers only its own length";
        const std::vector<int32_t> out = Frames(list);
        ASSERT_EQ(out.size(), in.size());
        // Pan 0: the left at twice the volume (50 % -> 100 %), the right untouched.
        const size_t louder = pan == 0 ? 0 : 1;
        for (size_t f = 200; f < 1000; ++f) {
            ASSERT_NEAR(out[f * 2 + louder] - in[f * 2 + louder], 0x2000, 0x100) << f;
            ASSERT_EQ(out[f * 2 + 1 - louder], in[f * 2 + 1 - louder]) << f;
        }
        EXPECT_EQ(Slice(out, 1100 * 2, out.size()), Slice(in, 1100 * 2, in.size()));
    }
    int32_t left, right;
    LEfMixPaste::Gains(INT32_MIN, 0, left, right);  // a volume the check lets through
    EXPECT_EQ(left, INT32_MIN);

    // A cancelled insert-silence mix leaves the document without the silence.
    LCutListAudio list = ListOf(in, 8000, 2);
    const LCutListAudio longClip = ListOf(std::vector<int32_t>(size_t(40000), 0x2000), 8000, 2);
    test::ScriptedProgress cancel(2);
    EXPECT_EQ(Mix(list, 0, 10, longClip, LEfMixPaste::kInsertSilence), kJobCancelled);
    EXPECT_EQ(Frames(list), in);
    // Fading into an empty selection has nothing to mix into and adds no frame.
    test::ScriptedProgress fine;
    EXPECT_EQ(Mix(list, 50, 50, longClip, LEfMixPaste::kFadeMixOut), kJobDone);
    EXPECT_EQ(Mix(list, 60, 50, longClip, LEfMixPaste::kExtendSelection), kJobDone);
    EXPECT_EQ(Frames(list), in);
}
