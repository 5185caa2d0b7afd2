#include <gtest/gtest.h>

#include <dirent.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/LFile.h"
#include "core/LPRSourceToSink.h"
#include "core/LScriptedUi.h"
#include "core/Q24.h"
#include "edit/EditTestSupport.h"
#include "effects/CompressorRatioList.h"
#include "effects/EfAutoGainControl.h"
#include "effects/EffectsTestSupport.h"
#include "effects/LDecibelTables.h"
#include "effects/LEfFilterJobs.h"
#include "effects/LSRCCompressor.h"
#include "effects/LSRCNoiseGates.h"
#include "effects/SignalMeasure.h"

using test::Frames;
using test::ListOf;

namespace {

// The amplitude of a sine whose blocks have level `db` (mean square of the
// values shifted right by 5, relative to 8388626).
double AmplitudeForLevel(double db) { return 32.0 * std::sqrt(2.0 * std::pow(10.0, db / 10.0) / 1.1920903375594525e-07); }

// The block level of a stretch, unrounded.
double LevelOf(const std::vector<int32_t>& v, size_t from, size_t to)
{
    const double rms = test::Rms(v, from, to) / 32.0;
    return 10.0 * std::log10(rms * rms * 1.1920903375594525e-07);
}

int32_t CountTempFiles()
{
    int32_t n = 0;
    DIR* dir = opendir(GetTempFolder().c_str());
    while (dirent* e = dir ? readdir(dir) : nullptr)
        n += std::string(e->d_name).rfind("lca", 0) == 0 || std::string(e->d_name).rfind("lcp", 0) == 0;
    if (dir)
        closedir(dir);
    return n;
}

std::vector<int32_t> Concat(std::vector<int32_t> a, const std::vector<int32_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(Compressor, GainTableMakeUpAndUnityAtOneToOne)
{
    EXPECT_EQ(DbAmplitude(-127), 0);
    EXPECT_EQ(DbAmplitude(127), INT32_MAX);
    EXPECT_EQ(CompressorRatioList::Find(7), nullptr);
    const double twoToOne = CompressorRatioList::Find(2)->factor;
    const LSRCCompressor::GainTable t = LSRCCompressor::MakeGainTable(-20, twoToOne, 127);
    EXPECT_NEAR(t[size_t(-30 + 128)], kQ24Unity * std::sqrt(10.0), 1.0) << "+10 dB below the threshold";
    EXPECT_NEAR(t[size_t(0 + 128)], kQ24Unity, 1.0) << "a 0 dB block keeps unity";
    EXPECT_EQ(LSRCCompressor::MakeGainTable(-127, CompressorRatioList::Find(6)->factor, 127)[0], INT32_MAX);

    // 1:1 at 0 dB multiplies by exactly unity.
    const std::vector<int32_t> in = test::Noise(size_t(30000) * 2, 0x7FFF0);
    LSoundSource same = LEfCompressorMaker(0, 1.0, 0).MakeSource(test::Over(in, 44100, 2));
    EXPECT_EQ(test::ReadAll(same, 1234), in);
    // An input in error reads as silence.
    LSoundSource broken = LEfCompressorMaker(-20, twoToOne, 3).MakeSource(LSoundSource());
    std::vector<int32_t> v(100, 7);
    broken->Read(v.data(), 100);
    EXPECT_EQ(v, std::vector<int32_t>(100, 0));
}

TEST(Compressor, StaticCurvesForEveryRatio)
{
    // Output level against input level with the threshold at -20 dB: below it
    // the make-up gain -T(1 - 1/R), above it L / R.
    const int32_t rate = 44100;
    std::printf("compressor static curves, threshold -20 dB (output dB for input -35 -25 -20 -10 0 +6 +10):\n");
    for (int32_t r = 0; r < CompressorRatioList::kCount; ++r) {
        const CompressorRatioItem& item = *CompressorRatioList::Find(r);
        const double inverse = 1.0 - std::log10(item.factor) * -20.0;  // 1/R
        std::printf("  %-5s", item.name);
        for (double level : {-35.0, -25.0, -20.0, -10.0, 0.0, 6.0, 10.0}) {
            const std::vector<int32_t> in = test::Sine(rate * 2, rate, 1000, AmplitudeForLevel(level));
            const std::vector<int32_t> out =
                test::ReadAll(LEfCompressorMaker(-20, item.factor, 0).MakeSource(test::Over(in, rate, 1)));
            // The second half second: towards the end the look-ahead sees the
            // silence after the input and raises the gain.
            const double measured = LevelOf(out, size_t(rate), size_t(rate) * 3 / 2);
            const double expected = level < -20 ? level + 20 * (1 - inverse) : level * inverse;
            std::printf(" %6.2f", measured);
            EXPECT_NEAR(measured, expected, 0.6) << item.name << " at " << level << " dB";
        }
        std::printf("\n");
    }
}

TEST(Compressor, PumpGetsEveryFrame)
{
    test::ScriptedProgress progress;
    const std::vector<int32_t> in = test::Noise(10001, 0x40000);
    auto* sink = new test::VectorSink(8000, 1);
    LPRSourceToSink::Data pump{"x", LEfCompressorMaker(-30, CompressorRatioList::Find(3)->factor, 0)
                                        .MakeSource(test::Over(in, 8000, 1)),
                               LSoundSink(sink)};
    EXPECT_EQ(pump.source->GetPosition(), 0);
    ASSERT_EQ(RunJob("x", [&](LProgressDialog& d) { return LPRSourceToSink::Process(d, pump); }), kJobDone);
    EXPECT_EQ(sink->values.size(), in.size());
}

TEST(NoiseGate, ThresholdsOpenThreeQuartersAtTheLevel)
{
    const int32_t factor = LSRCNoiseGates::ThresholdFactor(-30);
    EXPECT_EQ(factor, int32_t((int64_t(1) << 40) / DbAmplitude(-30)));
    const double atLevel = 524272 * std::pow(10.0, -30 / 20.0);
    EXPECT_NEAR(LSRCNoiseGates::TargetGain(int64_t(atLevel), factor) / double(kQ24Unity), 0.75, 0.005);
    EXPECT_EQ(LSRCNoiseGates::TargetGain(int64_t(atLevel * std::pow(10.0, 2.1 / 20)), factor), kQ24Unity);
    EXPECT_LT(LSRCNoiseGates::TargetGain(int64_t(atLevel * std::pow(10.0, -12 / 20.0)), factor), kQ24Unity / 200);
    // A level whose table entry is 0 never closes, even for huge peaks.
    EXPECT_EQ(LSRCNoiseGates::ThresholdFactor(-127), INT32_MAX);
    EXPECT_EQ(LSRCNoiseGates::TargetGain(int64_t(1) << 31, INT32_MAX), kQ24Unity);
    EXPECT_EQ(LEfNoiseGateMaker::FromGateLevel(-126).levels, (LSRCNoiseGates::Levels{-123, -126, -127, -126}));
}

TEST(NoiseGate, OpenBandsAddBackUpAndQuietOnesCloseAhead)
{
    const int32_t rate = 22050;
    // Every gate open: the bands add up to the input less what lies below 50 Hz
    // (until the look-ahead reaches the silence after the input).
    const std::vector<int32_t> in = test::Noise(size_t(20000) * 2, 0x7FFF0);
    const std::vector<int32_t> open =
        test::ReadAll(LEfNoiseGateMaker({-127, -127, -127, -127}).MakeSource(test::Over(in, rate, 2)), 999);
    const int64_t a0 = int64_t(std::floor((1 - std::exp(-314.15926535 / rate)) * 256));
    int64_t s[2] = {0, 0};
    for (size_t i = 0; i < size_t(19000) * 2; ++i) {
        const int64_t r = in[i] - (s[i % 2] >> 8);
        s[i % 2] += r * a0;
        ASSERT_EQ(open[i], r) << i;
    }
    // At -30 dB: a 1 kHz tone 10 dB above the band's level passes, one 25 dB
    // below is gone; a loud tone after silence is let in from its first frame.
    const auto tone = [&](double dbBelowFullScale, int32_t frames) {
        return test::Sine(frames, rate, 1000, 524272 * std::pow(10.0, dbBelowFullScale / 20));
    };
    const LEfNoiseGateMaker gate = LEfNoiseGateMaker::FromGateLevel(-30);
    const std::vector<int32_t> loud = tone(-20, rate), quiet = tone(-55, rate);
    const std::vector<int32_t> a = test::ReadAll(gate.MakeSource(test::Over(loud, rate, 1)));
    const std::vector<int32_t> b = test::ReadAll(gate.MakeSource(test::Over(quiet, rate, 1)));
    EXPECT_NEAR(test::Db(test::Rms(a, 5000, a.size()) / test::Rms(loud, 5000, a.size())), 0.0, 1.0);
    EXPECT_LT(test::Db(test::Rms(b, 5000, b.size()) / test::Rms(quiet, 5000, b.size())), -30.0);
    const std::vector<int32_t> onset = Concat(std::vector<int32_t>(size_t(rate), 0), loud);
    const std::vector<int32_t> c = test::ReadAll(gate.MakeSource(test::Over(onset, rate, 1)));
    ASSERT_EQ(c.size(), onset.size());
    EXPECT_NEAR(test::Db(test::Rms(c, size_t(rate), size_t(rate) + 200) / test::Rms(onset, size_t(rate), size_t(rate) + 200)),
                0.0, 1.5);
    // A gate on an input in error is the input itself.
    LSoundSource broken;
    EXPECT_TRUE(gate.MakeSource(broken) == broken);
}

TEST(AutoGain, ReferenceIsTheMedianOfTheLoudBlocks)
{
    std::array<int32_t, 255> h{};
    h[127 - 30] = 80;
    h[127 - 6] = 20;
    EXPECT_EQ(EfAutoGainControl::ReferenceLevel(h), -6);
    h[127 - 6] = 0;
    EXPECT_EQ(EfAutoGainControl::ReferenceLevel(h), -30);
    h = {};
    h[0] = 500;  // silence
    EXPECT_EQ(EfAutoGainControl::ReferenceLevel(h), -127);
}

TEST(AutoGain, QuietAndLoudPassagesComeOutAlike)
{
    test::ScriptedProgress progress;
    const int32_t rate = 16000, frames = rate * 8;
    const auto tone = [&](double dbfs) { return test::Sine(frames, rate, 1000, 0x7FFF0 * std::pow(10.0, dbfs / 20)); };
    const auto run = [&](const std::vector<int32_t>& in, int32_t from, int32_t to) {
        LCutListAudio list = ListOf(in, rate, 1);
        EfAutoGainControl::Data data{&list, from, to, {}};
        EXPECT_EQ(RunJob("AGC", [&](LProgressDialog& d) { return EfAutoGainControl::Process(d, data); }), kJobDone);
        return Frames(list);
    };
    // Each passage as a selection of its own: both end at the same level.
    const std::vector<int32_t> quiet = run(tone(-30), 0, frames), loud = run(tone(-6), 0, frames);
    const double q = test::Db(test::Rms(quiet, size_t(rate), size_t(frames)) / 0x7FFF0);
    const double l = test::Db(test::Rms(loud, size_t(rate), size_t(frames)) / 0x7FFF0);
    std::printf("AGC, separate selections: -30 dBFS tone -> %.1f dB rms, -6 dBFS tone -> %.1f dB rms\n", q, l);
    EXPECT_NEAR(q, l, 3.0);
    // Both in one selection, after 1 s of audio left alone: the quiet half is
    // lifted towards the loud one, and what lies outside keeps every value.
    const std::vector<int32_t> before = tone(-20);
    const std::vector<int32_t> in = Concat(Concat(std::vector<int32_t>(before.begin(), before.begin() + rate), tone(-30)),
                                           tone(-6));
    const std::vector<int32_t> out = run(in, rate, rate + 2 * frames - 10);
    ASSERT_EQ(out.size(), in.size());
    EXPECT_EQ(std::vector<int32_t>(out.begin(), out.begin() + rate), std::vector<int32_t>(in.begin(), in.begin() + rate));
    EXPECT_EQ(std::vector<int32_t>(out.end() - 10, out.end()), std::vector<int32_t>(in.end() - 10, in.end()));
    const double q2 = test::Db(test::Rms(out, size_t(rate) * 3, size_t(rate + frames)) / 0x7FFF0);
    const double l2 = test::Db(test::Rms(out, size_t(rate + frames) + size_t(rate) * 2, size_t(rate + 2 * frames - 10)) / 0x7FFF0);
    std::printf("AGC, one selection: -30 dBFS half -> %.1f dB rms, -6 dBFS half -> %.1f dB rms\n", q2, l2);
    EXPECT_LT(l2 - q2, 24.0 - 4.0);
    EXPECT_EQ(CountTempFiles(), 0);
}

TEST(AutoGain, NoTemporaryFileFailsAndCancelKeepsTheDocument)
{
    test::ScriptedProgress progress;
    LScriptedUi ui;
    const std::vector<int32_t> in = test::Noise(48000, 0x20000);
    LCutListAudio list = ListOf(in, 16000, 1);
    const std::string tmp = GetTempFolder();
    setenv("TMPDIR", "/nonexistent/kelvane-test", 1);
    EfAutoGainControl::Data data{&list, 0, 48000, {}};
    const int32_t result = RunJob("AGC", [&](LProgressDialog& d) { return EfAutoGainControl::Process(d, data); });
    setenv("TMPDIR", tmp.c_str(), 1);
    EXPECT_EQ(result, kJobFailed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, EfAutoGainControl::TempFileMessage("/nonexistent/kelvane-test"));
    EXPECT_EQ(Frames(list), in);

    test::ScriptedProgress cancel(4);
    EXPECT_EQ(RunJob("AGC", [&](LProgressDialog& d) { return EfAutoGainControl::Process(d, data); }), kJobCancelled);
    EXPECT_EQ(Frames(list), in);
    EXPECT_EQ(CountTempFiles(), 0);
}
