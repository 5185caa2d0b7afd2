#include <gtest/gtest.h>

#include <cmath>

#include "core/LSRCConvertChannels.h"
#include "core/LSRCConvertRate.h"
#include "core/LSourceProcessor.h"
#include "support/TestSupport.h"

using test::ReadAll;
using test::VectorSource;

namespace {

LSoundSource SineSource(int32_t rate, int32_t frames, double freq, double amp, uint8_t channels = 1)
{
    return MakeSource<VectorSource>(test::Sine(frames, rate, freq, amp, channels), rate, channels);
}

// SNR in dB of `got` against a sine of `freq` fitted by least squares (amplitude and
// phase), skipping `skip` values at each end where the filter meets the edges.
// The converter runs at its rational step n/d, so a tone of f Hz at the source rate S
// comes out at f * n / (d * S) cycles per output frame; `rate` is d * S / n.
double SineSnr(const std::vector<int32_t>& got, double rate, double freq, size_t skip)
{
    double ss = 0, cc = 0, sc = 0, ys = 0, yc = 0;
    for (size_t i = skip; i + skip < got.size(); ++i) {
        double s = std::sin(2 * M_PI * freq * double(i) / rate), c = std::cos(2 * M_PI * freq * double(i) / rate);
        ss += s * s, cc += c * c, sc += s * c, ys += got[i] * s, yc += got[i] * c;
    }
    double det = ss * cc - sc * sc;
    double a = (ys * cc - yc * sc) / det, b = (yc * ss - ys * sc) / det;
    double signal = 0, noise = 0;
    for (size_t i = skip; i + skip < got.size(); ++i) {
        double fit = a * std::sin(2 * M_PI * freq * double(i) / rate) + b * std::cos(2 * M_PI * freq * double(i) / rate);
        signal += fit * fit;
        noise += (got[i] - fit) * (got[i] - fit);
    }
    return 10 * std::log10(signal / noise);
}

} // namespace

TEST(ConvertRatio, PicksTheFirstCloseFraction)
{
    ConvertRatio r = ConvertRatio::Design(44100, 48000, false, 63);
    EXPECT_EQ(r.step, 34);
    EXPECT_EQ(r.phases, 37);
    ConvertRatio same = ConvertRatio::Design(48000, 24000, false, 63);
    EXPECT_EQ(same.step, 2);
    EXPECT_EQ(same.phases, 1);
    // Each phase row sums to unity gain (65536) within a small design error.
    for (int32_t p = 0; p < r.phases; ++p) {
        int64_t sum = 0;
        for (int32_t k = 0; k < r.taps; ++k)
            sum += r.Row(p)[k];
        EXPECT_NEAR(double(sum), 65536.0, 700.0) << p;
    }
    // The centre tap of phase 0 is the cut-off scaled by 65536.
    EXPECT_EQ(r.Row(0)[31], int32_t(0.975 * 65536 + 0.5));
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
    int64_t expected = int64_t(44100 * 3 + 17) / 34 * 37 + (int64_t(44100 * 3 + 17) % 34) * 37 / 34;
    EXPECT_EQ(rs->GetLength(), expected);

    std::vector<int32_t> straight = ReadAll(rs, 8192);
    EXPECT_EQ(straight.size(), size_t(expected) * 2);
    EXPECT_EQ(rs->GetPosition(), expected);

    // Seeking to 0 equals a fresh conversion, read in odd chunks.
    rs->Seek(0);
    EXPECT_EQ(rs->GetPosition(), 0);
    EXPECT_EQ(ReadAll(rs, 1237), straight);

    // Seeking into the middle lands on the same frames (the block shift may differ by one step).
    rs->Seek(100000);
    std::vector<int32_t> mid(2000 * 2);
    rs->Read(mid.data(), 2000);
    for (size_t i = 0; i < mid.size(); ++i)
        ASSERT_NEAR(mid[i], straight[200000 + i], 64) << i;
}

TEST(ConvertRate, QualityOfAFullScaleSine)
{
    // Floors measured on this filter with a margin: 44100 -> 48000 reaches 59.4 dB (the
    // up-sampling window's low beta leaves images), 48000 -> 22050 reaches 77.5 dB.
    std::vector<int32_t> up = ReadAll(LSPConvRate(48000).OpenSource(SineSource(44100, 44100, 1000, 0x7FFF0)));
    double snrUp = SineSnr(up, 44100.0 * 37 / 34, 1000, 100);
    EXPECT_GT(snrUp, 57.0);
    std::vector<int32_t> down = ReadAll(LSPConvRate(22050).OpenSource(SineSource(48000, 48000, 1000, 0x7FFF0)));
    ConvertRatio r = ConvertRatio::Design(48000, 22050, false, 63);
    double snrDown = SineSnr(down, 48000.0 * r.phases / r.step, 1000, 100);
    EXPECT_GT(snrDown, 75.0);
    RecordProperty("snr_44100_48000", std::to_string(snrUp));
    RecordProperty("snr_48000_22050", std::to_string(snrDown));
    std::printf("SNR 44100->48000 %.1f dB, 48000->22050 %.1f dB\n", snrUp, snrDown);
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
    std::vector<int32_t> stereo = {1, 2, 3, 4, 5, 6};
    LSoundSource s = MakeSource<VectorSource>(stereo, 8000, 2);
    EXPECT_EQ(LSPConvChannels(2).OpenSource(s), s);
    EXPECT_EQ(LSPConvChannels(0).OpenSource(s), s);
    EXPECT_EQ(LSPConvChannels(3).OpenSource(s), s);
    EXPECT_EQ(ReadAll(LSPConvChannels(1).OpenSource(s)), (std::vector<int32_t>{1, 3, 5})) << "left channel";
    LSoundSource m = MakeSource<VectorSource>(std::vector<int32_t>{7, 8}, 8000, 1);
    EXPECT_EQ(ReadAll(LSPConvChannels(2).OpenSource(m)), (std::vector<int32_t>{7, 7, 8, 8}));
}
