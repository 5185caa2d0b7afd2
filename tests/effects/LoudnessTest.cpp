#include <gtest/gtest.h>

#include <cmath>

#include "effects/LLoudnessMeter.h"
#include "support/TestSupport.h"

namespace {

// 20*log10(0.0708) = -23 dBFS in stream units (full scale 524288).
constexpr double kMinus23 = 524288.0 * 0.070794578;

} // namespace

TEST(LoudnessMeter, SineReadsAtItsKnownLoudnessAndMonoIsOneChannel)
{
    // A 1 kHz sine at -23 dBFS in both channels is -23 LUFS by definition of
    // the scale; the same sine mono is one channel, 3 dB quieter.
    const int32_t rate = 48000;
    for (uint8_t channels : {uint8_t(2), uint8_t(1)}) {
        LLoudnessMeter meter(channels, rate, LLoudnessMeter::kAll);
        ASSERT_TRUE(meter.IsValid()) << meter.Error();
        const auto sine = test::Sine(rate * 10, rate, 1000.0, kMinus23, channels);
        // Odd chunks: the 100 ms marks must not depend on how audio arrives.
        for (size_t at = 0; at < sine.size();) {
            const int32_t frames = std::min<int32_t>(777, int32_t((sine.size() - at) / channels));
            ASSERT_TRUE(meter.Add(sine.data() + at, frames));
            at += size_t(frames) * channels;
        }
        const double expect = channels == 2 ? -23.0 : -23.0 - 3.0103;
        EXPECT_NEAR(meter.Integrated(), expect, 0.05);
        EXPECT_NEAR(meter.Momentary(), expect, 0.05);
        EXPECT_NEAR(meter.MaxMomentary(), expect, 0.05);
        EXPECT_NEAR(meter.MaxShortTerm(), expect, 0.05);
        EXPECT_NEAR(meter.Range(), 0.0, 0.1);
        EXPECT_NEAR(meter.TruePeak(), -23.0, 0.1);
    }
}

TEST(LoudnessMeter, SilenceUnaskedMeasuresAndBadFormats)
{
    LLoudnessMeter meter(2, 44100, LLoudnessMeter::kIntegrated | LLoudnessMeter::kTruePeak);
    std::vector<int32_t> zeros(44100 * 2 * 2, 0);
    ASSERT_TRUE(meter.Add(zeros.data(), 44100 * 2));
    EXPECT_TRUE(std::isinf(meter.Integrated()) && meter.Integrated() < 0);
    EXPECT_TRUE(std::isinf(meter.TruePeak()) && meter.TruePeak() < 0);
    EXPECT_TRUE(std::isnan(meter.Range()));
    EXPECT_TRUE(std::isnan(meter.Momentary()));
    // Reset forgets: a loud second after it measures alone.
    meter.Reset();
    const auto sine = test::Sine(44100, 44100, 1000.0, kMinus23, 2);
    ASSERT_TRUE(meter.Add(sine.data(), 44100));
    EXPECT_NEAR(meter.Integrated(), -23.0, 0.1);

    LLoudnessMeter none(0, 44100, LLoudnessMeter::kAll);
    EXPECT_FALSE(none.IsValid());
    EXPECT_FALSE(none.Error().empty());
    EXPECT_FALSE(none.Add(zeros.data(), 10));
    LLoudnessMeter noRate(2, 0, LLoudnessMeter::kAll);
    EXPECT_FALSE(noRate.IsValid());
}

TEST(LoudnessMeter, TruePeakFindsPeaksBetweenSamplesAfterQuieterOnes)
{
    // A sine at a quarter of the rate, 45 degrees off the sample grid: every
    // sample is at 1/sqrt(2) of the crest. A louder one follows a quieter one,
    // so blocks must not be skipped once the quiet peak is known.
    for (int32_t rate : {44100, 48000, 22050}) {
        std::vector<int32_t> v;
        for (double amp : {0.25, 0.5})
            for (int32_t i = 0; i < rate; ++i)
                v.push_back(int32_t(std::lround(amp * 524288.0 * std::sin(M_PI / 2 * i + M_PI / 4))));
        LLoudnessMeter meter(1, rate, LLoudnessMeter::kTruePeak);
        ASSERT_TRUE(meter.Add(v.data(), int32_t(v.size())));
        // The sample peak is 3 dB lower; the step in level rings a little above the crest.
        EXPECT_NEAR(meter.TruePeak(), 20 * std::log10(0.5), 0.2) << rate;
    }
}
