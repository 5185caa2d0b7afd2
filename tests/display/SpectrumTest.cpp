#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>

#include "display/LFFT.h"
#include "display/LFrequencyWindowModel.h"
#include "display/LSpectrum.h"
#include "edit/EditTestSupport.h"

TEST(Spectrum, TheFftMatchesADirectTransform)
{
    for (int32_t bits : {3, 7}) {
        LFFT fft(bits);
        const int32_t n = fft.Size();
        std::mt19937 rng{uint32_t(bits)};
        std::uniform_real_distribution<double> dist(-1, 1);
        std::vector<double> re(static_cast<size_t>(n)), im(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i)
            re[size_t(i)] = dist(rng), im[size_t(i)] = dist(rng);
        std::vector<std::complex<double>> want(static_cast<size_t>(n));
        for (int32_t k = 0; k < n; ++k)
            for (int32_t i = 0; i < n; ++i)
                want[size_t(k)] += std::complex<double>(re[size_t(i)], im[size_t(i)]) *
                                   std::polar(1.0, -2 * M_PI * k * i / n);
        fft.Transform(re.data(), im.data());
        for (int32_t k = 0; k < n; ++k) {
            EXPECT_NEAR(re[size_t(k)], want[size_t(k)].real(), 1e-9) << k;
            EXPECT_NEAR(im[size_t(k)], want[size_t(k)].imag(), 1e-9) << k;
        }
    }
}

TEST(Spectrum, ASinePeaksInItsBinAndSilenceIsMinus127)
{
    // Left 1 kHz, right 5 kHz, from the cursor on; silence before it.
    std::vector<int32_t> v(20000 * 2, 0);
    auto left = test::Sine(10000, 44100, 1000, 0x40000), right = test::Sine(10000, 44100, 5000, 0x40000);
    for (int32_t i = 0; i < 10000; ++i) {
        v[size_t(2 * (10000 + i))] = left[size_t(i)];
        v[size_t(2 * (10000 + i) + 1)] = right[size_t(i)];
    }
    LCutListAudio doc = test::ListOf(v, 44100, 2);
    LSpectrumBlock b = ComputeSpectrum(doc, 10000);
    ASSERT_TRUE(b.twoChannels);
    ASSERT_EQ(b.levels.size(), 4096u);
    auto peak = [&](int32_t ch) {
        int32_t best = 0;
        for (int32_t k = 1; k < kSpectrumBins; ++k)
            if (b.Level(ch, k) > b.Level(ch, best))
                best = k;
        return best;
    };
    EXPECT_EQ(peak(0), 93);
    EXPECT_EQ(peak(1), 464);
    EXPECT_EQ(b.Level(0, 93), -2) << "half of full scale, 6 dB under a full-scale sine's +4";
    EXPECT_LT(b.Level(0, 600), -60) << "far from the tone";

    LSpectrumBlock silent = ComputeSpectrum(doc, 0);
    for (int8_t level : silent.levels)
        ASSERT_EQ(level, -127);
    LCutListAudio mono = test::ListOf(test::Sine(5000, 8000, 440, 0x1000), 8000, 1);
    EXPECT_EQ(ComputeSpectrum(mono, 0).levels.size(), 2048u);

    EXPECT_EQ(SpectrumLevel(92682, 0), 0);
    for (double db : {2.4, 2.6, -2.4, -2.6})
        EXPECT_EQ(SpectrumLevel(92682 * std::pow(10, db / 20), 0), std::lround(db)) << db;
    EXPECT_EQ(SpectrumLevel(1e300, 0), 127);
    EXPECT_EQ(SpectrumBinFrequency(1, 44100), 10);
    EXPECT_EQ(SpectrumBinFrequency(2047, 44100), 22039);
    EXPECT_EQ(SpectrumFrequencyBin(22050, 44100), 2047);
    EXPECT_EQ(SpectrumFrequencyBin(1000, 0), 0);
}

TEST(FrequencyWindow, ZoomStepsAndScrollLimits)
{
    LFrequencyWindowModel m;
    m.SetSize(401, 257, true);
    EXPECT_EQ(m.Width(), 400);
    EXPECT_EQ(m.MapPixelXtoIndex(0), 0);
    EXPECT_EQ(m.MapPixelXtoIndex(400), 2047);
    EXPECT_FALSE(m.Scroll(LFrequencyAxis::Horizontal, LFrequencyScroll::LineForward)) << "nothing to scroll unzoomed";
    m.HZoom(true);
    m.HZoom(true);
    EXPECT_EQ(m.VisibleBins(), 512);
    EXPECT_EQ(m.VirtualWidth(), 1600);
    m.HZoom(true);
    EXPECT_EQ(m.VisibleBins(), 512) << "a third step changes nothing";
    EXPECT_EQ(m.PageSize(LFrequencyAxis::Horizontal), 25);
    EXPECT_TRUE(m.Scroll(LFrequencyAxis::Horizontal, LFrequencyScroll::Thumb, 100));
    EXPECT_EQ(m.Position(LFrequencyAxis::Horizontal), 76) << "position + page stays below 102";
    EXPECT_EQ(m.ScrollPixelOffset(), 1200) << "the last scroll position shows the end of the axis";
    EXPECT_EQ(m.FirstVisibleBin(), 1536);
    m.HZoom(false);
    EXPECT_EQ(m.Position(LFrequencyAxis::Horizontal), 51);
    m.ZoomDefault();
    EXPECT_EQ(m.Position(LFrequencyAxis::Horizontal), 0);
    EXPECT_EQ(m.VisibleBins(), 2048);
}

TEST(FrequencyWindow, TheReadoutShowsWhatIsDrawnUnderThePointer)
{
    LFrequencyWindowModel m;
    m.SetSize(500, 300, true);
    LSpectrumBlock b;
    for (int32_t k = 0; k < kSpectrumBins; ++k)
        b.levels[size_t(k)] = int8_t(-(k % 120));
    m.SetData(b);
    int32_t checked = 0;
    for (int32_t vz = 0; vz <= 2; ++vz) {
        for (int32_t pos : {0, 13, 40, 100}) {
            m.Scroll(LFrequencyAxis::Vertical, LFrequencyScroll::Thumb, pos);
            for (int32_t x = 0; x < m.Width(); x += 7) {
                int32_t level = b.Level(0, m.MapPixelXtoIndex(x));
                int32_t y = m.CurveY(0, x);
                if (y > 0 && y < m.Height() - 1) {
                    ASSERT_EQ(m.YToLevel(y), level) << "vz " << vz << " pos " << pos << " x " << x;
                    ++checked;
                }
            }
        }
        m.VZoom(true);
    }
    EXPECT_GT(checked, 300);
    m.ZoomDefault();
    EXPECT_EQ(m.LevelToY(-127), m.Height() - 1);
    EXPECT_EQ(m.YToLevel(m.Height() - 1), -127);
    EXPECT_EQ(m.Readout(0, 0), "0 Hz, 0 dB");
    // The pixel of a frequency maps back to that frequency's bin.
    m.HZoom(true);
    m.Scroll(LFrequencyAxis::Horizontal, LFrequencyScroll::Thumb, 20);
    for (int32_t f : {5000, 9000, 15000}) {
        int32_t x = m.MapIndextoPixelX(f);
        ASSERT_GE(x, 0);
        EXPECT_NEAR(m.MapPixelXtoIndex(x), SpectrumFrequencyBin(f, 44100), 3) << f;
    }
}
