#include <gtest/gtest.h>

#include <cmath>

#include "core/LSRCConvertChannels.h"
#include "core/LSRCConvertRate.h"
#include "core/LSRCSoxrRate.h"
#include "core/LSinkConvertChannels.h"
#include "core/LSourceProcessor.h"
#include "support/TestSupport.h"

using test::ReadAll;
using test::VectorSource;

namespace {

LSoundSource SineSource(int32_t rate, int32_t frames, double freq, double amp, uint8_t channels = 1)
{
    return MakeSource<VectorSource>(test::Sine(frames, rate, freq, amp, channels), rate, channels);
}

// The amplitude and phase of a sine of `freq` fitted by least squares to `got` in
// [begin, end); `rate` is the rate `got` runs at.
struct Fit {
    double a = 0, b = 0;  // got ~ a sin + b cos
};
Fit FitSine(const std::vector<int32_t>& got, double rate, double freq, size_t begin, size_t end)
{
    double ss = 0, cc = 0, sc = 0, ys = 0, yc = 0;
    for (size_t i = begin; i < end; ++i) {
        double s = std::sin(2 * M_PI * freq * double(i) / rate), c = std::cos(2 * M_PI * freq * double(i) / rate);
        ss += s * s, cc += c * c, sc += s * c, ys += got[i] * s, yc += got[i] * c;
    }
    double det = ss * cc - sc * sc;
    return {(ys * cc - yc * sc) / det, (yc * ss - ys * sc) / det};
}

// SNR in dB of `got` against a fitted sine of `freq`, skipping `skip` values at each
// end where the filter meets the edges.
double SineSnr(const std::vector<int32_t>& got, double rate, double freq, size_t skip)
{
    Fit fit = FitSine(got, rate, freq, skip, got.size() - skip);
    double signal = 0, noise = 0;
    for (size_t i = skip; i + skip < got.size(); ++i) {
        double y = fit.a * std::sin(2 * M_PI * freq * double(i) / rate) + fit.b * std::cos(2 * M_PI * freq * double(i) / rate);
        signal += y * y;
        noise += (got[i] - y) * (got[i] - y);
    }
    return 10 * std::log10(signal / noise);
}

// The frequency of the tone in `got` (mono, near `nominal` Hz at `rate`): the slope
// of its phase, fitted at the nominal frequency in windows of 0.1 s every 0.25 s.
double MeasuredFrequency(const std::vector<int32_t>& got, double rate, double nominal)
{
    const size_t window = size_t(rate / 10), hop = size_t(rate / 4);
    std::vector<double> t, phase;
    for (size_t at = size_t(rate / 20); at + window + size_t(rate / 20) < got.size(); at += hop) {
        Fit fit = FitSine(got, rate, nominal, at, at + window);
        double p = std::atan2(fit.b, fit.a);
        while (!phase.empty() && p - phase.back() > M_PI)
            p -= 2 * M_PI;
        while (!phase.empty() && p - phase.back() < -M_PI)
            p += 2 * M_PI;
        phase.push_back(p);
        t.push_back((double(at) + double(window) / 2) / rate);
    }
    double mt = 0, mp = 0, stp = 0, stt = 0;
    for (size_t i = 0; i < t.size(); ++i)
        mt += t[i] / double(t.size()), mp += phase[i] / double(t.size());
    for (size_t i = 0; i < t.size(); ++i)
        stp += (t[i] - mt) * (phase[i] - mp), stt += (t[i] - mt) * (t[i] - mt);
    return nominal + stp / stt / (2 * M_PI);
}

} // namespace

TEST(ConvertRatio, TheStepIsTheExactRatioOfTheRates)
{
    ConvertRatio r = ConvertRatio::Design(44100, 48000, false, 63);
    EXPECT_EQ(r.step, 147);
    EXPECT_EQ(r.phases, 160);
    EXPECT_EQ(r.rows, 160);
    ConvertRatio same = ConvertRatio::Design(48000, 24000, false, 63);
    EXPECT_EQ(same.step, 2);
    EXPECT_EQ(same.phases, 1);
    // Rates with no large common divisor keep their exact step over a bounded table.
    ConvertRatio odd = ConvertRatio::Design(44101, 48000, false, 63);
    EXPECT_EQ(odd.step, 44101);
    EXPECT_EQ(odd.phases, 48000);
    EXPECT_EQ(odd.rows, ConvertRatio::kMaxRows + 1);
    EXPECT_EQ(odd.coefficients.size(), size_t(odd.rows) * 63);
    EXPECT_EQ(odd.Row(47999), odd.Row(0) + size_t(ConvertRatio::kMaxRows) * 63) << "a fraction near 1 takes the last row";
    // Every row sums to unity gain (65536) within a small design error, and the rows
    // at fractions f and 1 - f mirror each other.
    for (const ConvertRatio* c : {&r, &odd}) {
        for (int32_t p = 0; p < c->rows; p += 1 + c->rows / 300) {
            const int32_t* row = c->coefficients.data() + size_t(p) * size_t(c->taps);
            int64_t sum = 0;
            for (int32_t k = 0; k < c->taps; ++k)
                sum += row[k];
            EXPECT_NEAR(double(sum), 65536.0, 700.0) << p;
        }
    }
    for (int32_t k = 1; k < 63; ++k)
        ASSERT_EQ(r.Row(40)[k], r.Row(120)[63 - k]) << k;
    // The centre tap of phase 0 is the cut-off scaled by 65536.
    EXPECT_EQ(r.Row(0)[31], int32_t(0.975 * 65536 + 0.5));
}

TEST(ConvertRate, DurationAndPitchAreKept)
{
    // Five seconds of a 1 kHz tone: the output has round(length * new / old) frames
    // and the tone stays at 1 kHz within 0.001 %, up and down, in one stage or two,
    // and for rates whose ratio has no small fraction.
    const int32_t pairs[][2] = {{44100, 48000}, {44100, 192000}, {44100, 196000}, {48000, 44100}, {96000, 44100},
                                {44100, 8000}, {192000, 11025}, {44101, 48000}, {22050, 32001}};
    for (auto [from, to] : pairs) {
        const int32_t frames = from * 5;
        LSoundSource rs = LSPConvRate(to).OpenSource(SineSource(from, frames, 1000, 0x40000));
        const int64_t expected = (int64_t(frames) * to * 2 + from) / (2 * int64_t(from));
        EXPECT_NEAR(double(rs->GetLength()), double(expected), 1.0) << from << " -> " << to;
        std::vector<int32_t> out = ReadAll(rs);
        EXPECT_EQ(out.size(), size_t(rs->GetLength())) << from << " -> " << to;
        EXPECT_NEAR(MeasuredFrequency(out, to, 1000.0), 1000.0, 0.01) << from << " -> " << to;
    }
}

TEST(ConvertRate, ProcessorChoosesStagesAndPassesWhatNeedsNoWork)
{
    LSoundSource src = SineSource(44100, 1000, 440, 100000);
    EXPECT_EQ(LSPConvRate(44100).OpenSource(src), src);
    LSoundSource bad = MakeSource<VectorSource>(std::vector<int32_t>{}, 0, 1);
    EXPECT_EQ(bad->GetError(), kSrcInvalid);
    EXPECT_EQ(LSPConvRate(8000).OpenSource(bad), bad);

    LSoundSource hi = SineSource(96000, 96000, 440, 100000);
    LSoundSource two = LSPConvRate(8000).OpenSource(hi);
    auto* last = dynamic_cast<LSRCConvertRate*>(two.Get());
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(two->GetSampleRate(), 8000);
    EXPECT_EQ(last->Ratio().step, 2) << "second stage 16000 -> 8000";
    EXPECT_EQ(two->GetLength(), 8000);

    // A very large reduction still produces a working, bounded signal.
    LSoundSource huge = LSPConvRate(6000).OpenSource(SineSource(196000, 196000, 300, 200000));
    std::vector<int32_t> out = ReadAll(huge);
    EXPECT_EQ(out.size(), size_t(6000));
    EXPECT_GT(SineSnr(out, 6000, 300, 200), 30.0) << "196000 / 6000 stages are all exact halvings or 1/2";
}

TEST(ConvertRate, LengthPositionAndSeekAgree)
{
    LSoundSource up = SineSource(44100, 44100 * 3 + 17, 1000, 300000, 2);
    LSoundSource rs = LSPConvRate(48000).OpenSource(up);
    // (132317 * 160 / 147) = 144018.5..., rounded to the nearest frame.
    const int64_t expected = 144019;
    EXPECT_EQ(rs->GetLength(), expected);

    std::vector<int32_t> straight = ReadAll(rs, 8192);
    EXPECT_EQ(straight.size(), size_t(expected) * 2);
    EXPECT_EQ(rs->GetPosition(), expected);

    // Seeking to 0 equals a fresh conversion, read in odd chunks.
    rs->Seek(0);
    EXPECT_EQ(rs->GetPosition(), 0);
    EXPECT_EQ(ReadAll(rs, 1237), straight);

    // Seeking into the middle (at a phase other than 0) lands on the same frames
    // (the block shift may differ by one step).
    for (int32_t at : {100000, 100001, 143999}) {
        rs->Seek(at);
        EXPECT_EQ(rs->GetPosition(), at);
        const int32_t n = std::min<int32_t>(2000, int32_t(expected) - at);
        std::vector<int32_t> mid(size_t(n) * 2);
        rs->Read(mid.data(), n);
        for (size_t i = 0; i < mid.size(); ++i)
            ASSERT_NEAR(mid[i], straight[size_t(at) * 2 + i], 64) << at << " " << i;
    }
}

TEST(ConvertRate, QualityOfAFullScaleSine)
{
    // Floors measured on this filter with a margin. Up-sampling stays near 60 dB (the
    // up-sampling window's low beta leaves images); a ratio without a small fraction
    // rounds the filter's position to 1/8192 of a frame, which costs nothing visible.
    struct Case {
        int32_t from, to;
        double tone, floorDb;
    } cases[] = {{44100, 48000, 1000, 57}, {48000, 22050, 1000, 75}, {44100, 192000, 1000, 57},
                 {44101, 48000, 1000, 57}, {48000, 44101, 5000, 70}, {96000, 8000, 1000, 100}};
    for (const Case& c : cases) {
        std::vector<int32_t> out = ReadAll(LSPConvRate(c.to).OpenSource(SineSource(c.from, c.from, c.tone, 0x7FFF0)));
        double snr = SineSnr(out, c.to, c.tone, size_t(c.to / 100));
        EXPECT_GT(snr, c.floorDb) << c.from << " -> " << c.to;
        std::string name = "snr_" + std::to_string(c.from) + "_" + std::to_string(c.to);
        RecordProperty(name, std::to_string(snr));
        std::printf("SNR %d -> %d: %.1f dB\n", c.from, c.to, snr);
    }
}

TEST(ConvertRate, BlockFloatingPointKeepsQuietAndLoudBlocksAccurate)
{
    // A full-scale block needs a shift of 4; a quiet one none. Both come out at their level.
    for (double amp : {0x7FFF0 * 1.0, 2000.0 * 16, 0x1FFFFF * 1.0}) {
        std::vector<int32_t> out = ReadAll(LSPConvRate(48000).OpenSource(
            MakeSource<VectorSource>(test::Sine(20000, 44100, 500, amp), 44100, 1, 0x200000)));
        int32_t peak = 0;
        for (size_t i = 100; i < out.size() - 100; ++i)
            peak = std::max(peak, std::abs(out[i]));
        EXPECT_NEAR(peak, amp, amp * 0.01 + 32) << amp;
    }
}

TEST(ConvertRate, InvalidTargetRate)
{
    LSRCConvertRate r(SineSource(44100, 100, 100, 1000), 0, false);
    EXPECT_EQ(r.GetSampleRate(), 44100);
    EXPECT_EQ(r.GetError(), kSrcInvalid);
}

TEST(ConvertChannels, SourceSideOrderAndRules)
{
    // Odd sums round toward minus infinity; the extremes of the stream's range
    // cannot overflow.
    std::vector<int32_t> stereo = {10, 20, -5, -8, 7, 8, 0, -1, INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN,
                                   INT32_MIN, INT32_MAX};
    LSoundSource s = MakeSource<VectorSource>(stereo, 8000, 2);
    EXPECT_EQ(LSPConvChannels(2).OpenSource(s), s);
    EXPECT_EQ(LSPConvChannels(0).OpenSource(s), s);
    EXPECT_EQ(LSPConvChannels(3).OpenSource(s), s);
    const std::vector<int32_t> mixed = {15, -7, 7, -1, INT32_MAX, INT32_MIN, -1};
    EXPECT_EQ(ReadAll(LSPConvChannels(1).OpenSource(s)), mixed) << "both channels, (left + right) >> 1";
    // The sink-side converter gives the very same samples.
    auto* sink = new test::VectorSink(8000, 1);
    LSoundSink sinkHandle(sink);
    LSinkConvertChannels::OpenSink(2, sinkHandle)->Write(stereo.data(), int32_t(stereo.size() / 2));
    EXPECT_EQ(sink->values, mixed);
    LSoundSource m = MakeSource<VectorSource>(std::vector<int32_t>{7, 8}, 8000, 1);
    EXPECT_EQ(ReadAll(LSPConvChannels(2).OpenSource(m)), (std::vector<int32_t>{7, 7, 8, 8}));
}

TEST(ConvertRateHigh, CleanAlignedAndAsLongAsTheStandardConverter)
{
    // Lengths: round(length * new / old), as the standard converter has in one stage
    // (its two stages round twice, which may add a frame), for ratios with and
    // without a small fraction, up and down, short and long inputs.
    const int32_t pairs[][2] = {{44100, 48000}, {48000, 44100}, {96000, 8000}, {8000, 44100}, {44101, 48000},
                                {22050, 196000}};
    for (auto [from, to] : pairs)
        for (int32_t frames : {0, 1, 147, 1000, from * 2 + 7}) {
            LSoundSource in = SineSource(from, frames, 1000, 100000);
            LSoundSource high = LSPConvRate(to, LRateQuality::High).OpenSource(in);
            ASSERT_NE(dynamic_cast<LSRCSoxrRate*>(high.Get()), nullptr);
            const int64_t exact = (int64_t(frames) * to * 2 + from) / (2 * int64_t(from));
            EXPECT_EQ(high->GetLength(), exact) << from << " -> " << to << ", " << frames;
            EXPECT_NEAR(LSPConvRate(to).OpenSource(in)->GetLength(), exact, from > 4 * to ? 1 : 0) << from << " -> " << to;
            EXPECT_EQ(ReadAll(high).size(), size_t(exact)) << from << " -> " << to << ", " << frames;
        }

    // A 1 kHz tone just below full scale, 44.1 -> 48 kHz: the residue after removing
    // the tone is at least 110 dB down (20-bit samples allow about 119), the gain is
    // unity and the tone keeps its phase (no filter delay) to 1/100 of a frame.
    const double amp = 0x7FFF0 * 0.9;
    std::vector<int32_t> out = ReadAll(LSPConvRate(48000, LRateQuality::High).OpenSource(SineSource(44100, 44100 * 2, 1000, amp)));
    const size_t skip = 4800;
    const double snr = SineSnr(out, 48000, 1000, skip);
    std::printf("THD+N 44100 -> 48000 high: %.1f dB\n", snr);
    EXPECT_GT(snr, 110.0);
    const Fit fit = FitSine(out, 48000, 1000, skip, out.size() - skip);
    EXPECT_NEAR(fit.a, amp, amp * 1e-4);
    EXPECT_NEAR(std::atan2(fit.b, fit.a), 0.0, 2 * M_PI * 1000 / 48000 / 100);
}

TEST(ConvertRateHigh, ChunksAndSeeksGiveTheSameFrames)
{
    LSoundSource rs = LSPConvRate(48000, LRateQuality::High).OpenSource(SineSource(44100, 44100 * 3 + 17, 1000, 300000, 2));
    const std::vector<int32_t> straight = ReadAll(rs, 8192);
    EXPECT_EQ(rs->GetPosition(), rs->GetLength());
    rs->Seek(0);
    EXPECT_EQ(ReadAll(rs, 1237), straight);
    // Into the middle, off the grid where input and output frames meet, and before the start.
    for (int32_t at : {100000, 100001, 143999, -5}) {
        rs->Seek(at);
        EXPECT_EQ(rs->GetPosition(), at);
        const int32_t n = std::min<int32_t>(2000, rs->GetLength() - at);
        std::vector<int32_t> part(size_t(n) * 2);
        rs->Read(part.data(), n);
        for (size_t i = 0; i < part.size(); ++i) {
            const int64_t frame = int64_t(at) + int64_t(i / 2);
            ASSERT_NEAR(part[i], frame < 0 ? 0 : straight[size_t(frame * 2) + i % 2], 2) << at << " " << i;
        }
    }
}
