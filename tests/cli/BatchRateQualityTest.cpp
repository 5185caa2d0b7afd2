#include <gtest/gtest.h>

#include <cmath>

#include "core/LSoundSource.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::ReadAll;
using test::TempPath;

namespace {

// The level in dB of what is left of `got` (mono, at `rate`) after removing the
// best-fitting sine of `freq` and a constant, over its middle: THD+N below the tone.
double ResidueBelowTone(const std::vector<int32_t>& got, double rate, double freq)
{
    const size_t begin = got.size() / 10, end = got.size() - begin;
    // Least squares for y ~ a sin + b cos + c, by the normal equations (3 x 3).
    double m[3][4] = {};
    auto basis = [&](size_t i, double* v) {
        const double w = 2 * M_PI * freq * double(i) / rate;
        v[0] = std::sin(w), v[1] = std::cos(w), v[2] = 1;
    };
    for (size_t i = begin; i < end; ++i) {
        double v[3];
        basis(i, v);
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c)
                m[r][c] += v[r] * v[c];
            m[r][3] += v[r] * got[i];
        }
    }
    for (int p = 0; p < 3; ++p)
        for (int r = 0; r < 3; ++r)
            if (r != p) {
                const double f = m[r][p] / m[p][p];
                for (int c = 0; c < 4; ++c)
                    m[r][c] -= f * m[p][c];
            }
    double signal = 0, noise = 0;
    for (size_t i = begin; i < end; ++i) {
        double v[3];
        basis(i, v);
        const double tone = m[0][3] / m[0][0] * v[0] + m[1][3] / m[1][1] * v[1];
        const double rest = got[i] - tone - m[2][3] / m[2][2];
        signal += tone * tone;
        noise += rest * rest;
    }
    return 10 * std::log10(signal / noise);
}

} // namespace

TEST(BatchRateQuality, OptionAndStoredSettingChooseTheConverter)
{
    if (!test::HaveProgram("sox"))
        GTEST_SKIP() << "sox makes the 24-bit input";
    const std::string in = TempPath("tone24.wav");
    ASSERT_EQ(test::Run("sox -n -b 24 -r 44100 -c 1 " + Quote(in) + " synth 3 sine 1000 gain -1"), 0);
    const std::string high = TempPath("high"), stored = TempPath("stored"), standard = TempPath("standard");
    ASSERT_EQ(test::Run(test::BatchProgram() + " -q --rate 48000 --rate-quality high -o " + Quote(high) + " " + Quote(in)), 0);
    // The stored choice reaches the batch command when no option overrides it.
    ASSERT_EQ(test::Run(test::BatchProgram() + " -q --set StoredValues.ConvertRateQuality=1 -c \"Convert Sample Rate=48000\" -o " +
                        Quote(stored) + " " + Quote(in)), 0);
    ASSERT_EQ(test::Run(test::BatchProgram() + " -q --rate 48000 -o " + Quote(standard) + " " + Quote(in)), 0);
    EXPECT_NE(test::Run(test::BatchProgram() + " -q --rate 48000 --rate-quality best -o " + Quote(standard) + " " + Quote(in)), 0);

    const std::vector<int32_t> h = ReadAll(LWaveFile::OpenSource(high + "/tone24.wav"));
    ASSERT_EQ(h.size(), size_t(48000 * 3));
    EXPECT_EQ(ReadAll(LWaveFile::OpenSource(stored + "/tone24.wav")), h);
    const double highDb = ResidueBelowTone(h, 48000, 1000);
    const double standardDb = ResidueBelowTone(ReadAll(LWaveFile::OpenSource(standard + "/tone24.wav")), 48000, 1000);
    std::printf("THD+N below a 1 kHz tone, 24-bit 44100 -> 48000: high %.1f dB, standard %.1f dB\n", highDb, standardDb);
    EXPECT_GE(highDb, 110.0);
    EXPECT_LT(standardDb, 80.0) << "without the option or the setting, the standard converter";
}
