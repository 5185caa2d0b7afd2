#include <gtest/gtest.h>

#include <algorithm>

#include "core/Q24.h"
#include "edit/EditTestSupport.h"
#include "effects/EffectsTestSupport.h"
#include "effects/LEfChangeSpeedPitch.h"
#include "effects/LEfPitchMaker.h"
#include "effects/LEfSimpleSpeedMaker.h"
#include "effects/LEfTimeStretchMaker.h"
#include "effects/LSRCTimeStretch.h"

using test::ReadAll;
using test::VectorSource;

namespace {

// The stretch written directly on input indices: grain g crossfades the old
// grain (continuing where the previous new grain stopped) into a new grain
// starting g hops in, and the output ends at the first frame whose new-grain
// read position reaches the input's end. No buffering, no seeking.
std::vector<int32_t> Reference(const std::vector<int32_t>& in, int32_t c, int32_t rate, double speed)
{
    const int64_t grain = std::clamp(rate / 90, 20, 2730);
    const int64_t F = grain * c, half = F / 2, n = F - half;
    std::vector<int32_t> w(size_t(F), kQ24Unity);
    for (int64_t i = 0; i < n; ++i)
        w[size_t(half + i)] = int32_t(std::floor((0.5 * std::cos(M_PI * double(i) / double(n)) + 0.5) * kQ24Unity + 0.5));
    const int64_t H = int64_t(std::floor(double(F) * speed));
    const int64_t hop = std::max<int64_t>(1, H >= 0 ? H / c : -((-H + c - 1) / c));
    const int64_t L = int64_t(in.size()) / c;
    auto at = [&](int64_t frame, int64_t ch) { return frame >= 0 && frame < L ? in[size_t(frame * c + ch)] : 0; };
    std::vector<int32_t> out;
    for (int64_t q = 0, a = 0;; a = q + grain, q += hop) {
        for (int64_t k = 0; k < grain; ++k) {
            if (q + k >= L)
                return out;
            for (int64_t ch = 0; ch < c; ++ch) {
                const int64_t v = k * c + ch;
                const int32_t x = at(a + k, ch), y = at(q + k, ch);
                if (v < half || a == q)
                    out.push_back(x);
                else
                    out.push_back(int32_t(uint32_t(Q24Mul(x, w[size_t(v)])) + uint32_t(Q24Mul(y, kQ24Unity - w[size_t(v)]))));
            }
        }
    }
}

LSoundSource Over(const std::vector<int32_t>& v, int32_t rate, uint8_t channels)
{
    return MakeSource<VectorSource>(v, rate, channels);
}

} // namespace

TEST(TimeStretch, PlainFormMatchesTheGrainDefinitionAtEverySpeedAndChunking)
{
    // Speeds cover slow-down, the sliding buffer, reading through short gaps
    // (hop below the 8-grain buffer) and seeking past it (hop above); stereo
    // with an odd hop in values checks the frame alignment.
    struct Case {
        int32_t rate;
        uint8_t channels;
        double speed;
    } cases[] = {{8000, 1, 0.37}, {8000, 2, 1.5}, {11025, 2, 1.013}, {8000, 1, 7.0}, {8000, 2, 10.0}, {22050, 1, 3.0}};
    for (const Case& k : cases) {
        std::vector<int32_t> in = test::Noise(size_t(30011) * k.channels, 0x7FFF0, uint32_t(k.rate));
        std::vector<int32_t> expected = Reference(in, k.channels, k.rate, k.speed);
        for (int32_t chunk : {8192, 333}) {
            LSoundSource s = MakeSource<LSRCTimeStretch>(Over(in, k.rate, k.channels), k.speed, 1.0, 0,
                                                         LSRCTimeStretch::Positions::Output, false);
            ASSERT_EQ(size_t(s->GetLength()) * k.channels, expected.size()) << k.speed;
            EXPECT_EQ(ReadAll(s, chunk), expected) << "speed " << k.speed << " chunk " << chunk;
        }
        // Seeking to an output frame continues exactly as reading from the start.
        LSoundSource s = MakeSource<LSRCTimeStretch>(Over(in, k.rate, k.channels), k.speed, 1.0, 0,
                                                     LSRCTimeStretch::Positions::Output, false);
        const int32_t mid = s->GetLength() / 3 + 7;
        s->Seek(mid);
        EXPECT_EQ(ReadAll(s, 1000), std::vector<int32_t>(expected.begin() + ptrdiff_t(mid) * k.channels, expected.end()))
            << "seek at speed " << k.speed;
    }
}

TEST(TimeStretch, HundredPercentIsBitExactInModesOneAndTwo)
{
    for (uint8_t channels : {uint8_t(1), uint8_t(2)}) {
        std::vector<int32_t> in = test::Noise(size_t(50000) * channels, 0x200000);
        in[0] = INT32_MIN;  // extremes pass untouched too
        in[1] = INT32_MAX;
        for (int32_t mode : {LEfChangeSpeedPitch::kConstantPitch, LEfChangeSpeedPitch::kConstantSpeed}) {
            LSoundSource s = LEfChangeSpeedPitch::MakeMaker(mode, 100)->MakeSource(Over(in, 44100, channels));
            EXPECT_EQ(s->GetLength(), 50000);
            EXPECT_EQ(ReadAll(s, 777), in) << "mode " << mode << ", " << int(channels) << " channels";
        }
    }
}

TEST(TimeStretch, ConstantPitchAt150KeepsThePitchAndShortensByTheFactor)
{
    const int32_t rate = 44100, frames = 4 * rate;
    LSoundSource s = LEfChangeSpeedPitch::MakeMaker(1, 150)->MakeSource(Over(test::Sine(frames, rate, 440, 0x40000), rate, 1));
    const int32_t grain = rate / 90;
    EXPECT_NEAR(s->GetLength(), frames / 1.5, grain);
    std::vector<int32_t> out = ReadAll(s);
    const double f = test::PeakFrequency(out, 1, rate, rate / 2, rate, 300, 700);
    EXPECT_NEAR(f, 440.0, 4.4);
    RecordProperty("mode1_150_frequency", std::to_string(f));
}

TEST(TimeStretch, PitchAndSimpleSpeedAt200)
{
    const int32_t rate = 44100, frames = 4 * rate;
    const std::vector<int32_t> tone = test::Sine(frames, rate, 440, 0x40000, 2);
    // Mode 2: an octave up at the same length.
    LSoundSource pitch = LEfChangeSpeedPitch::MakeMaker(2, 200)->MakeSource(Over(tone, rate, 2));
    EXPECT_NEAR(pitch->GetLength(), frames, rate / 90);
    std::vector<int32_t> out = ReadAll(pitch);
    const double f2 = test::PeakFrequency(out, 2, rate, rate / 2, rate, 300, 1200);
    EXPECT_NEAR(f2, 880.0, 8.8);
    RecordProperty("mode2_200_frequency", std::to_string(f2));
    // Mode 0: an octave up in exactly half the length.
    LSoundSource speed = LEfChangeSpeedPitch::MakeMaker(0, 200)->MakeSource(Over(tone, rate, 2));
    EXPECT_EQ(speed->GetLength(), frames / 2);
    EXPECT_EQ(speed->GetSampleRate(), rate);
    out = ReadAll(speed);
    EXPECT_NEAR(test::PeakFrequency(out, 2, rate, rate / 4, rate / 2, 300, 1200), 880.0, 8.8);
}

TEST(TimeStretch, FactorsAreBoundedSoEveryModeEnds)
{
    EXPECT_DOUBLE_EQ(LEfChangeSpeedPitch::Factor(5), 0.1);
    // 96 kHz stereo, the extremes the dialog accepts, one frame and nothing at all.
    for (int32_t frames : {0, 1, 9601})
        for (int32_t mode : {0, 1, 2})
            for (int32_t percent : {-5, 0, 1, 300}) {
                std::vector<int32_t> in = test::Noise(size_t(frames) * 2, 0x7FFF0);
                LSoundSource s = LEfChangeSpeedPitch::MakeMaker(mode, percent)->MakeSource(Over(in, 96000, 2));
                const int32_t length = s->GetLength();
                EXPECT_GE(length, 0);
                EXPECT_LE(int64_t(length), int64_t(frames) * 10 + 2 * 1066) << mode << " " << percent;
                EXPECT_EQ(ReadAll(s).size(), size_t(length) * 2);
            }
    // A hop of zero from the time stretcher itself still advances a frame a grain.
    LSoundSource s = MakeSource<LSRCTimeStretch>(Over(test::Noise(400, 100), 8000, 1), 0.0, 1.0, 0);
    const int32_t grain = 8000 / 90, grains = 400 - grain + 1;
    EXPECT_EQ(s->GetLength(), grains * grain + (400 - grains));
}

TEST(TimeStretch, InputPositionsFollowTheNewGrainAndGlide)
{
    // For a player: positions are input frames; the hop glides from speed 1 to 3 over a second.
    LSoundSource s = MakeSource<LSRCTimeStretch>(Over(test::Noise(200000, 1000), 8000, 1), 1.0, 3.0, 1000,
                                                 LSRCTimeStretch::Positions::Input);
    EXPECT_EQ(s->GetLength(), 200000);
    std::vector<int32_t> block(16000);
    s->Read(block.data(), 88);
    EXPECT_EQ(s->GetPosition(), 88);
    s->Read(block.data(), 16000);
    const int32_t before = s->GetPosition();
    s->Read(block.data(), 16000);
    EXPECT_NEAR(double(s->GetPosition() - before), 3.0 * 16000, 3.0 * 88);
}
