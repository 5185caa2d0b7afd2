#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/SampleConvert.h"
#include "display/DisplayTestSupport.h"
#include "display/LKVWaveModel.h"
#include "display/LSpectrogramAxis.h"
#include "display/LSpectrogramColumns.h"

using test::ListOfLevels;
using test::MapOf;

namespace {

using Column = std::shared_ptr<const LSpectrogramColumn>;

int32_t PeakBin(const LSpectrogramColumn& c, int32_t channel)
{
    int32_t best = 0;
    for (int32_t k = 1; k < c.bins; ++k)
        if (c.Level(channel, k) > c.Level(channel, best))
            best = k;
    return best;
}

int32_t Sine(double frequency, int32_t rate, int32_t frame, double amplitude = 0.5)
{
    return int32_t(std::lround(amplitude * kFullScale16 * std::sin(2 * std::numbers::pi * frequency * frame / rate)));
}

std::vector<Column> ComputeAll(LSpectrogramColumns& s, const LWaveMapping& map)
{
    std::vector<Column> out(size_t(map.Width()));
    EXPECT_TRUE(s.Compute(map, 0, map.Width(), out.data(), nullptr));
    return out;
}

} // namespace

// A tone peaks at its bin whatever the rate and FFT size, near its level, well
// above the bins away from it; each stereo channel keeps its own tone (they
// share one transform), and a wide mono column (two windows in one transform) too.
TEST(Spectrogram, ToneColumnsPeakAtTheirBin)
{
    struct Case {
        int32_t rate, fft;
        double left, right;  // right 0: mono
        int32_t framesPerColumn;
    };
    for (const Case& c : {Case{44100, 2048, 1000, 0, 512}, Case{48000, 256, 1000, 0, 64}, Case{8000, 8192, 1000, 0, 4096},
                          Case{44100, 1024, 1000, 3000, 1024}, Case{22050, 512, 1000, 0, 8192}}) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, FFT " << c.fft << ", " << c.framesPerColumn << " frames/column");
        const uint8_t channels = c.right > 0 ? 2 : 1;
        const int32_t frames = c.framesPerColumn * 8 + c.fft;
        const LCutListAudio list = ListOfLevels(
            frames, channels, [&](int32_t f, int32_t ch) { return Sine(ch ? c.right : c.left, c.rate, f); }, c.rate);
        LSpectrogramColumns s(list, c.fft);
        ASSERT_EQ(s.Bins(), c.fft / 2 + 1);
        const std::vector<Column> columns = ComputeAll(s, MapOf(8, c.fft / 2, c.framesPerColumn * 8));
        for (const Column& col : columns) {
            ASSERT_TRUE(col);
            ASSERT_EQ(col->channels, channels);
            for (int32_t ch = 0; ch < channels; ++ch) {
                const double f = ch ? c.right : c.left;
                const int32_t bin = int32_t(std::lround(f * c.fft / c.rate));
                EXPECT_EQ(PeakBin(*col, ch), bin) << "channel " << ch;
                // Half of full scale is -6 dB: 255 - 6 * 255 / 120, within the Hann window's scalloping.
                EXPECT_NEAR(col->Level(ch, bin), 242, 6) << "channel " << ch;
                const int32_t far = bin > c.fft / 4 ? bin / 2 : bin * 2;
                EXPECT_LT(col->Level(ch, far), col->Level(ch, bin) - 100) << "channel " << ch;
            }
        }
    }
}

TEST(Spectrogram, SweepColumnsFollowTheRisingFrequency)
{
    // 200 Hz to 3800 Hz linearly over four seconds at 8000 Hz.
    constexpr int32_t kRate = 8000, kFrames = 4 * kRate, kFft = 1024;
    const double f0 = 200, rise = 3600.0 / kFrames;  // Hz per frame
    const LCutListAudio list = ListOfLevels(
        kFrames, 1,
        [&](int32_t f, int32_t) {
            const double phase = 2 * std::numbers::pi * (f0 * f + rise * f * double(f) / 2) / kRate;
            return int32_t(0.5 * kFullScale16 * std::sin(phase));
        },
        kRate);
    LSpectrogramColumns s(list, kFft);
    const LWaveMapping map = MapOf(16, 0, kFrames);
    const std::vector<Column> columns = ComputeAll(s, map);
    int32_t previous = -1;
    for (int32_t x = 1; x < 15; ++x) {
        const int64_t a = map.PixelToFrame(x), b = map.PixelToFrame(x + 1);
        // A wide column averages windows at its quarters: their frequencies' mean is the centre's.
        const double centre = f0 + rise * double(a + b) / 2;
        const int32_t peak = PeakBin(*columns[size_t(x)], 0);
        EXPECT_NEAR(peak, centre * kFft / kRate, 12.0) << "column " << x;
        EXPECT_GT(peak, previous) << "column " << x;
        previous = peak;
    }
}

// The cache serves a column it holds, and an edit recomputes only the columns
// whose windows read changed frames: those around a change of the same length,
// everything from a change of length on.
TEST(Spectrogram, EditRecomputesOnlyTheColumnsItChanged)
{
    constexpr int32_t kFrames = 65536, kFft = 512;
    const LCutListAudio original =
        ListOfLevels(kFrames, 1, [](int32_t f, int32_t) { return Sine(440 + f / 64, 8000, f); });
    LSpectrogramColumns s(original, kFft);
    const LWaveMapping map = MapOf(64, 0, kFrames);  // 1024 frames a column
    const std::vector<Column> before = ComputeAll(s, map);
    EXPECT_EQ(s.Computed(), 64);
    EXPECT_EQ(ComputeAll(s, map), before);
    EXPECT_EQ(s.Computed(), 64);

    LCutListAudio silenced = original;
    silenced.EfSilence(30000, 31000);
    s.SetAudio(silenced);
    const std::vector<Column> after = ComputeAll(s, map);
    // Columns 28..30 read within half a window of [30000, 31000).
    EXPECT_EQ(s.Computed(), 64 + 3);
    for (int32_t x = 0; x < 64; ++x)
        EXPECT_EQ(after[size_t(x)] == before[size_t(x)], x < 28 || x > 30) << "column " << x;
    EXPECT_NE(after[29]->levels, before[29]->levels);

    LCutListAudio shortened = silenced;
    shortened.EfDelete(40000, 41000);
    s.SetAudio(shortened);
    const std::vector<Column> last = ComputeAll(s, map);
    EXPECT_EQ(s.Computed(), 64 + 3 + (64 - 38));
    for (int32_t x = 0; x < 38; ++x)
        EXPECT_EQ(last[size_t(x)], after[size_t(x)]) << "column " << x;

    // A new rate invalidates everything.
    LCutListAudio resampled = ListOfLevels(kFrames, 1, [](int32_t f, int32_t) { return Sine(440, 16000, f); }, 16000);
    s.SetAudio(resampled);
    ComputeAll(s, map);
    EXPECT_EQ(s.Computed(), 64 + 3 + 26 + 64);
}

// Through the wave view: a scroll computes only the exposed columns, and a
// restart on edited audio reuses the columns the edit left alone.
TEST(Spectrogram, ViewScrollsAndRestartsFromTheCache)
{
    constexpr int32_t kFrames = 200000, kWidth = 100, kLength = 100 * 512;
    const LCutListAudio list = ListOfLevels(kFrames, 2, [](int32_t f, int32_t c) { return Sine(300 + 200 * c, 8000, f); });
    LKVWaveModel view;
    view.SetSpectrogramOptions(1024, true);
    view.SetSize(kWidth + 2, 200);
    view.Start(list, kWaveModeSpectrogram, false);
    view.Process(1000, kLength);
    ASSERT_TRUE(view.Spectrogram());
    EXPECT_EQ(view.Spectrogram()->FftSize(), 1024);
    EXPECT_EQ(view.Spectrogram()->Computed(), kWidth);
    view.Process(1000 + kLength / 10, kLength);
    // A tenth of the view, and the seam column.
    EXPECT_LE(view.Spectrogram()->Computed(), kWidth + kWidth / 10 + 1);
    const LWavePicture picture = view.Picture();
    EXPECT_TRUE(picture.spectrogram);
    EXPECT_EQ(picture.lanes, 2);
    for (int32_t x = 0; x < kWidth; ++x)
        ASSERT_TRUE(picture.spectra[size_t(x)]) << "column " << x;

    const int64_t computed = view.Spectrogram()->Computed();
    LCutListAudio edited = list;
    edited.EfAmplify(30000, 31000, 50);
    view.Start(edited, kWaveModeSpectrogram, false);
    view.Process(1000 + kLength / 10, kLength);
    // The 1000 changed frames and a window's margin each side: 8 columns of 512 frames at most.
    const int64_t again = view.Spectrogram()->Computed() - computed;
    EXPECT_GE(again, 2);
    EXPECT_LE(again, 8);
}

TEST(Spectrogram, AxisMapsRowsToBinsAndLabelsThem)
{
    for (bool log : {false, true}) {
        SCOPED_TRACE(log ? "logarithmic" : "linear");
        const LSpectrogramAxis axis(44100, 2048, log, 300);
        int32_t first = 0, last = 0, below = 1025;
        // Rows from the top cover falling bins with neither gaps nor overlaps
        // (where rows are wider than a bin).
        for (int32_t r = 0; r < 300; ++r) {
            axis.BinsOfRow(r, first, last);
            EXPECT_LE(first, last);
            EXPECT_LE(last, below) << "row " << r;
            if (last - first > 0 && below - last > 1)
                ADD_FAILURE() << "bins skipped above row " << r;
            below = first;
        }
        EXPECT_LE(first, log ? 1 : 0);
        EXPECT_NEAR(axis.RowOf(axis.FrequencyAt(123.0)), 123.0, 1e-9);
        const std::vector<LSpectrogramAxis::Label> labels = axis.Labels(20);
        ASSERT_GE(labels.size(), 4u);
        for (size_t i = 1; i < labels.size(); ++i)
            EXPECT_GE(labels[i - 1].row - labels[i].row, 20);
    }
    EXPECT_EQ(LSpectrogramAxis::Text(500), "500 Hz");
    EXPECT_EQ(LSpectrogramAxis::Text(1000), "1 kHz");
    EXPECT_EQ(LSpectrogramAxis::Text(2500), "2.5 kHz");
    EXPECT_EQ(LSpectrogramAxis::Text(22050), "22.05 kHz");
}
