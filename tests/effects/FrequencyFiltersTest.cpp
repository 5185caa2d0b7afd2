#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>

#include "core/LPRSourceToSink.h"
#include "edit/EditTestSupport.h"
#include "effects/CreateEqFromPointList.h"
#include "effects/EffectsTestSupport.h"
#include "effects/LEfFilterJobs.h"
#include "effects/LSRCEq.h"
#include "effects/LSRCHighPass.h"
#include "effects/SignalMeasure.h"

using test::Frames;
using test::ListOf;

namespace {

// Output over input amplitude of a sine at `freq` through `maker`, measured
// away from the start.
double Response(const LEfSourceMaker& maker, int32_t rate, double freq, double amp = 100000)
{
    const int32_t frames = 16384;
    const std::vector<int32_t> in = test::Sine(frames, rate, freq, amp);
    const std::vector<int32_t> out = test::ReadAll(maker.MakeSource(test::Over(in, rate, 1)), 4096);
    return test::SineAmplitude(out, 1, 0, rate, freq, 4096, 8192) / test::SineAmplitude(in, 1, 0, rate, freq, 4096, 8192);
}

// The gain a table asks for at `freq`, interpolated between its entries.
double TableGain(const LEqGainTable& table, int32_t rate, double freq)
{
    const double j = freq * 4096.0 / rate;
    const size_t k = std::min<size_t>(size_t(j), 2046);
    const double f = j - double(k);
    return ((1 - f) * table[k] + f * table[k + 1]) / 128.0;
}

} // namespace

TEST(HighPass, CoefficientCornerAndPassThrough)
{
    // "LowCutFreq" 250 works on a 500 Hz corner at 44.1 kHz.
    EXPECT_EQ(LEfFilterJobs::HighPassCorner(250), 500);
    EXPECT_EQ(LSRCHighPass::Coefficient(500, 44100), 17);
    EXPECT_EQ(LEfFilterJobs::HighPassCorner(INT32_MAX), INT32_MAX);
    EXPECT_EQ(LSRCHighPass::Coefficient(0, 44100), 0);
    EXPECT_EQ(LSRCHighPass::Coefficient(-100000, 44100), 0);
    EXPECT_EQ(LSRCHighPass::Coefficient(INT32_MAX, 8000), 256);

    // The -3 dB point of a = 17 sits where |1 - z^-1| / |1 - (1 - a/256) z^-1|
    // falls to 1/sqrt(2).
    const double beta = 1.0 - 17 / 256.0;
    const double analytic = std::acos((beta * beta - 3) / (2 * beta - 4)) * 44100 / (2 * M_PI);
    const LEfHighPassMaker maker(500);
    double lo = 100, hi = 2000;
    for (int i = 0; i < 30; ++i) {
        const double mid = (lo + hi) / 2;
        (Response(maker, 44100, mid) < std::sqrt(0.5) ? lo : hi) = mid;
    }
    std::printf("high-pass LowCutFreq 250 at 44.1 kHz: -3 dB at %.1f Hz (analytic %.1f Hz)\n", lo, analytic);
    EXPECT_NEAR(lo, analytic, analytic * 0.01);
    const auto magnitude = [&](double f) {
        const double w = 2 * M_PI * f / 44100;
        return std::abs(1.0 - std::polar(1.0, -w)) / std::abs(1.0 - beta * std::polar(1.0, -w));
    };
    for (double f : {50.0, 200.0, 1000.0, 5000.0, 15000.0})
        EXPECT_NEAR(Response(maker, 44100, f), magnitude(f), 0.002) << f;

    // A corner at or below 0 Hz passes every value; the declared amplitude doubles.
    const std::vector<int32_t> in = test::Noise(5000, 0x7FFF0);
    LSoundSource pass = LEfHighPassMaker(-20).MakeSource(test::Over(in, 44100, 1));
    EXPECT_EQ(pass->GetMaxAmplitude(), 2u * 0x7FFF0);
    EXPECT_EQ(test::ReadAll(pass, 999), in);
}

TEST(HighPass, StereoChannelsStayApartAndSeekClearsTheEstimates)
{
    std::vector<int32_t> in(size_t(4000) * 2);
    for (size_t i = 0; i < in.size(); i += 2)
        in[i] = 0x40000;  // DC on the left, silence on the right
    LSoundSource hp = LEfHighPassMaker(500).MakeSource(test::Over(in, 44100, 2));
    const std::vector<int32_t> out = test::ReadAll(hp, 100);
    EXPECT_EQ(out[0], 0x40000);
    EXPECT_LT(std::abs(out[in.size() - 2]), 0x40);
    for (size_t i = 1; i < out.size(); i += 2)
        ASSERT_EQ(out[i], 0);
    hp->Seek(0);
    EXPECT_EQ(test::ReadAll(hp, 4000), out);
}

TEST(EqTable, CurveToTable)
{
    // The last point at x = 200 lands on index 1451 at 44.1 kHz; the rest
    // keeps its y.
    LEqGainTable t = CreateEqFromPointList(PointList::Of({{0, 128}, {200, 28}}), 44100);
    EXPECT_EQ(t[0], 128);
    EXPECT_EQ(t[1450], 28 + 0);
    EXPECT_EQ(t[725], 128 - 50);  // half way down the slope of -100 / 1451
    EXPECT_TRUE(std::all_of(t.begin() + 1451, t.end(), [](uint8_t y) { return y == 28; }));
    t = CreateEqFromPointList(PointList::Flat(), 8000);  // x = 255 is past half the rate
    EXPECT_TRUE(std::all_of(t.begin(), t.end(), [](uint8_t y) { return y == 128; }));
    t = CreateEqFromPointList(PointList(), 0);
    EXPECT_TRUE(std::all_of(t.begin(), t.end(), [](uint8_t y) { return y == 128; }));
    // A step (two points at one x) and a rate of 0 (read as 44100).
    t = CreateEqFromPointList(PointList::Of({{0, 10}, {100, 10}, {100, 250}, {255, 250}}), 0);
    EXPECT_EQ(t[724], 10);
    EXPECT_EQ(t[725], 250);
}

TEST(Equalizer, FlatCurveCoefficientsAndOutput)
{
    const LSRCEq::Coefficients h = LSRCEq::Design(CreateEqFromPointList(PointList::Flat(), 44100));
    EXPECT_EQ(h[0], 32768);
    for (size_t k = 1; k < h.size(); ++k)
        ASSERT_EQ(h[k], k % 2 ? 16 : 0) << k;

    // Audio comes back as it went in, apart from the 15-bit block mantissa (at
    // 16-bit full scale the shift is 4) and the formula's own ripple: all odd
    // taps at 16 add sin(2048 w) / (2048 sin w) of each tone, at most 0.34 %
    // for 1 kHz at 44.1 kHz, and double DC while removing half the rate.
    const int32_t rate = 44100, frames = 40000;
    std::vector<int32_t> in = test::Sine(frames, rate, 1000, 0x7FFF0 * 0.5, 2);
    const std::vector<int32_t> high = test::Sine(frames, rate, 7300, 0x7FFF0 * 0.45, 2);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] += high[i];
    LSoundSource eq = LEfEqMaker::FromCurve(PointList::Flat(), rate).MakeSource(test::Over(in, rate, 2));
    const std::vector<int32_t> out = test::ReadAll(eq, 5000);
    ASSERT_EQ(out.size(), in.size());
    int32_t worst = 0;
    for (size_t i = 2 * 2048; i < in.size() - 2 * 2048; ++i)
        worst = std::max(worst, std::abs(out[i] - in[i]));
    std::printf("flat equalizer, 1 kHz + 7.3 kHz near full scale: largest difference %d (%.3f %% of full scale)\n",
                worst, 100.0 * worst / 0x7FFF0);
    EXPECT_LE(worst, 0x7FFF0 / 200);
}

TEST(Equalizer, ResponseFollowsTheCurve)
{
    const int32_t rate = 44100;
    const PointList curve = PointList::Of({{0, 128}, {10, 200}, {40, 64}, {100, 180}, {180, 110}, {255, 90}});
    const LEqGainTable table = CreateEqFromPointList(curve, rate);
    const LEfEqMaker maker(table);
    double worst = 0;
    for (int i = 0; i < 20; ++i) {
        const double f = 200 * std::pow(80.0, i / 19.0);  // 200 Hz .. 16 kHz
        const double want = TableGain(table, rate, f);
        const double error = test::Db(Response(maker, rate, f) / want);
        worst = std::max(worst, std::abs(error));
        EXPECT_LT(std::abs(error), 0.5) << f << " Hz";
    }
    std::printf("equalizer response at 20 frequencies: largest error %.3f dB\n", worst);
}

TEST(Equalizer, PumpGetsEveryFrameAndSeekMatchesAFreshStart)
{
    // The pump stops when GetPosition reaches GetLength: the look-ahead must
    // not make an equalized file 2048 frames shorter.
    test::ScriptedProgress progress;
    const std::vector<int32_t> in = test::Sine(30001, 22050, 440, 20000);
    const LEfEqMaker flat = LEfEqMaker::FromCurve(PointList::Flat(), 22050);
    auto* sink = new test::VectorSink(22050, 1);
    LPRSourceToSink::Data pump{"x", flat.MakeSource(test::Over(in, 22050, 1)), LSoundSink(sink)};
    ASSERT_EQ(RunJob("x", [&](LProgressDialog& d) { return LPRSourceToSink::Process(d, pump); }), kJobDone);
    ASSERT_EQ(sink->values.size(), in.size());
    EXPECT_NEAR(sink->values.back(), in.back(), 20000 * 0.005);
    EXPECT_GT(std::abs(sink->values.back()), 10000) << "the last frames are there, not silence";

    // Below 2^15 the block shift is 0, so a seek (history before frame 0 is
    // silence) gives exactly what a fresh filter gives from that frame.
    LSoundSource fresh = flat.MakeSource(test::Over(in, 22050, 1));
    const std::vector<int32_t> all = test::ReadAll(fresh, 8192);
    LSoundSource sought = flat.MakeSource(test::Over(in, 22050, 1));
    sought->Seek(100);
    EXPECT_EQ(sought->GetPosition(), 100);
    EXPECT_EQ(test::ReadAll(sought, 777), std::vector<int32_t>(all.begin() + 100, all.end()));
}

TEST(Equalizer, BoostsOfFullScaleAudioDoNotWrap)
{
    // A full-scale square wave with its fundamental boosted to the curve's
    // maximum peaks well above twice its input: the 32-bit tap sums must not
    // wrap. Compared with the same filter in floating point.
    const int32_t rate = 8000, frames = 12000;
    std::vector<int32_t> in(size_t(frames) * 2);
    for (int32_t i = 0; i < frames; ++i)
        in[size_t(i) * 2] = in[size_t(i) * 2 + 1] = (i / 40) % 2 ? 0x7FFF0 : -0x7FFF0;  // 100 Hz
    const LEqGainTable table = CreateEqFromPointList(PointList::Of({{0, 255}, {3, 255}, {5, 0}, {255, 0}}), rate);
    LSoundSource eq = LEfEqMaker(table).MakeSource(test::Over(in, rate, 2));
    const std::vector<int32_t> out = test::ReadAll(eq, 4096);
    const LSRCEq::Coefficients h = LSRCEq::Design(table);
    double worst = 0, peak = 0;
    for (int32_t n = 4000; n < 8000; n += 7) {
        double ref = 0;
        for (int32_t k = -2047; k <= 2047; ++k) {
            const int32_t i = n + k;
            if (i >= 0 && i < frames)
                ref += double(in[size_t(i) * 2]) * h[size_t(std::abs(k))];
        }
        ref /= 32768;
        peak = std::max(peak, std::abs(ref));
        worst = std::max({worst, std::abs(out[size_t(n) * 2] - ref), std::abs(out[size_t(n) * 2 + 1] - ref)});
    }
    EXPECT_GT(peak, 2.1 * 0x7FFF0);
    EXPECT_LT(worst, peak * 1e-3);
}
