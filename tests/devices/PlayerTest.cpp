// The player through the free-running capture device: what is heard, sample
// for sample, and what the owner is told.
#include <gtest/gtest.h>

#include <cmath>

#include "devices/DeviceTestSupport.h"
#include "devices/LSoundPlayer.h"

using devtest::As16;
using devtest::PlayerEvents;
using devtest::PumpUntil;
using devtest::ReadWav;
using test::VectorSource;

namespace {

// Native values whose 16-bit forms differ frame by frame, with rounding cases
// ((s + 8) >> 4 at the edges of every step) and no zero.
std::vector<int32_t> Distinct(int32_t frames, uint8_t channels)
{
    std::vector<int32_t> v(size_t(frames) * channels);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int32_t(((i % 30000) + 1) * 16) * ((i & 1) ? -1 : 1) + int32_t(i % 3) * 4 - 4;
    return v;
}

struct Fixture {
    std::string capture;
    LSoundPlayer player;
    PlayerEvents events;
    explicit Fixture(const std::string& name) : capture(devtest::UseCapture(name)) { player.notify = &events; }
    ~Fixture() { player.notify = &player; }
    bool WaitIdle() { return PumpUntil([&] { return player.GetState() == 0; }); }
};

TEST(Player, PlaysTheSourceSampleForSampleFromItsPosition)
{
    for (uint8_t channels : {1, 2}) {
        Fixture f("whole" + std::to_string(channels) + ".wav");
        const std::vector<int32_t> values = Distinct(30001, channels);
        LSoundSource s = MakeSource<VectorSource>(values, 44100, channels);
        s->Seek(1234);
        ASSERT_TRUE(f.player.Start(s));
        EXPECT_EQ(f.events.events, (std::vector<std::string>{"started"}));
        EXPECT_EQ(f.events.positions.front(), 27) << "1234 frames at 44.1 kHz";
        EXPECT_EQ(f.player.SamplesPerBuffer(), 4410);
        ASSERT_TRUE(f.WaitIdle());
        const devtest::Wav w = ReadWav(f.capture);
        EXPECT_EQ(w.rate, 44100);
        EXPECT_EQ(w.channels, channels);
        EXPECT_EQ(w.samples, As16(values, 1234 * size_t(channels)));
        EXPECT_EQ(f.events.positions.back(), 680) << "the end: 30001 frames";
        EXPECT_EQ(f.events.events.back(), "stopped");
    }
}

TEST(Player, BufferSizesFollowTheRate)
{
    for (auto [rate, frames] : {std::pair{8000, 800}, {100, 20}, {192000, 8192}}) {
        Fixture f("rate" + std::to_string(rate) + ".wav");
        ASSERT_TRUE(f.player.Start(MakeSource<VectorSource>(std::vector<int32_t>(size_t(rate), 16), rate, 1),
                                   LSoundPlayer::kStartPaused));
        EXPECT_EQ(f.player.SamplesPerBuffer(), frames) << rate;
        EXPECT_EQ(f.events.events, (std::vector<std::string>{"paused"}));
        f.player.Stop();
    }
}

TEST(Player, DeclaredPeakDecidesTheLimiter)
{
    // A lying source declaring full scale plays as it is; one declaring a
    // single step more goes through the limiter, which lowers the block.
    const std::vector<int32_t> loud(2000, 0x7FFF1);
    for (uint32_t declared : {0x7FFF0u, 0x7FFF1u}) {
        Fixture f("peak" + std::to_string(declared) + ".wav");
        ASSERT_TRUE(f.player.Start(MakeSource<VectorSource>(loud, 8000, 1, declared)));
        ASSERT_TRUE(f.WaitIdle());
        const std::vector<int16_t> heard = ReadWav(f.capture).samples;
        ASSERT_EQ(heard.size(), loud.size());
        const int16_t peak = *std::max_element(heard.begin(), heard.end());
        EXPECT_EQ(peak, declared == 0x7FFF0 ? 0x7FFF : 0x7FFE) << declared;
    }
    // Values past the 16-bit range clamp rather than wrap.
    EXPECT_EQ(LNativeTo16(0x7FFF8), 0x7FFF);
    EXPECT_EQ(LNativeTo16(-0x80000), -0x8000);
    EXPECT_EQ(LNativeTo16(-0x7FFFFFF), -0x8000);
    EXPECT_EQ(LNativeTo16(7), 0);
    EXPECT_EQ(LNativeTo16(8), 1);
    EXPECT_EQ(LNativeTo16(-9), -1);
}

TEST(Player, ShortSourceEndsWithItsLength)
{
    Fixture f("short.wav");
    const std::vector<int32_t> values = Distinct(123, 1);
    ASSERT_TRUE(f.player.Start(MakeSource<VectorSource>(values, 8000, 1)));
    ASSERT_TRUE(f.WaitIdle());
    EXPECT_EQ(ReadWav(f.capture).samples, As16(values));
    EXPECT_EQ(f.events.positions.back(), 15) << "123 frames at 8 kHz";
    EXPECT_EQ(f.events.events, (std::vector<std::string>{"started", "stopped"}));
    // Stop on an idle player does nothing and tells nothing.
    f.player.Stop();
    EXPECT_EQ(f.events.events.size(), 2u);
}

TEST(Player, SeekWhilePausedStaysPausedAndPlaysFromThere)
{
    Fixture f("seekpaused.wav");
    const std::vector<int32_t> values = Distinct(20000, 2);
    ASSERT_TRUE(f.player.Start(MakeSource<VectorSource>(values, 8000, 2), LSoundPlayer::kStartPaused));
    f.player.Seek(5000);
    EXPECT_EQ(f.player.GetState() & LSoundPlayer::kPaused, LSoundPlayer::kPaused);
    EXPECT_EQ(f.events.positions.back(), 625);
    f.player.Play();
    ASSERT_TRUE(f.WaitIdle());
    EXPECT_EQ(ReadWav(f.capture).samples, As16(values, 10000)) << "nothing before the seek was heard";
}

// The capture of a scrub: passes of the loop buffer, then what follows.
void ExpectLoopThenRest(const std::vector<int16_t>& heard, const std::vector<int16_t>& snippet, int32_t bufferFrames,
                        const std::vector<int16_t>& rest)
{
    ASSERT_GE(heard.size(), rest.size() + size_t(bufferFrames));
    const size_t loopEnd = heard.size() - rest.size();
    EXPECT_TRUE(std::equal(rest.begin(), rest.end(), heard.begin() + std::ptrdiff_t(loopEnd)));
    // The last pass is the snippet four times over (the last copy cut at the buffer's end).
    const size_t pass = loopEnd - size_t(bufferFrames);
    for (size_t i = 0; i < size_t(bufferFrames); ++i)
        ASSERT_EQ(heard[pass + i], snippet[i % snippet.size()]) << i;
}

TEST(Player, ScrubLoopsTheSnippetAndPlayResumesAfterIt)
{
    Fixture f("scrub.wav");
    const std::vector<int32_t> values = Distinct(16000, 1);
    ASSERT_TRUE(f.player.Start(MakeSource<VectorSource>(values, 8000, 1), LSoundPlayer::kStartPaused));
    f.player.Seek(3000);
    f.player.Cue();
    EXPECT_EQ(f.player.GetState() & (LSoundPlayer::kActive | LSoundPlayer::kCueing | LSoundPlayer::kPaused),
              LSoundPlayer::kActive | LSoundPlayer::kCueing) << "cueing also ends the pause";
    EXPECT_EQ(f.events.events.back(), "cued");
    EXPECT_EQ(f.events.positions.back(), 375);
    // Cueing again changes nothing.
    f.player.Cue();
    EXPECT_EQ(f.events.events.back(), "cued");
    f.player.Play();
    ASSERT_TRUE(f.WaitIdle());
    const int32_t q = 200;  // a quarter of 800 frames
    ExpectLoopThenRest(ReadWav(f.capture).samples, As16(values, 3000, 3000 + q), 800, As16(values, 3000 + q));
}

TEST(Player, SeekWhileCueingMovesTheLoop)
{
    Fixture f("seekcue.wav");
    const std::vector<int32_t> values = Distinct(16000, 1);
    ASSERT_TRUE(f.player.Start(MakeSource<VectorSource>(values, 8000, 1), LSoundPlayer::kStartPaused));
    f.player.Cue();
    f.player.Seek(9000);
    EXPECT_NE(f.player.GetState() & LSoundPlayer::kCueing, 0);
    f.player.Play();
    ASSERT_TRUE(f.WaitIdle());
    ExpectLoopThenRest(ReadWav(f.capture).samples, As16(values, 9000, 9200), 800, As16(values, 9200));
}

TEST(Player, LevelsOfWhatIsHeard)
{
    // In real time each buffer comes back on its own, so its report is not
    // folded into the end of playback.
    Fixture f("levels.wav");
    devtest::UseCapture("levels.wav", false);
    std::vector<int32_t> values(2400 * 2, 0);
    for (size_t i = 800 * 2; i < values.size(); i += 2)
        values[i] = (i & 2) ? 0x7FFF0 : -0x7FFF0;  // left: full-scale square after the first buffer
    ASSERT_TRUE(f.player.Start(MakeSource<VectorSource>(values, 8000, 2)));
    ASSERT_TRUE(PumpUntil([&] { return !f.events.levels.empty() && f.events.levels.back().level[0] != -127; }));
    const LChannelLevels& heard = f.events.levels.back();
    EXPECT_EQ(heard.count, 2);
    EXPECT_EQ(heard.level[0], 15);
    EXPECT_EQ(heard.level[1], -127) << "digital silence";
    EXPECT_EQ(f.events.levels.front().level[0], -127);
    f.player.Stop();

    const std::vector<int32_t> silence(800, 0);
    EXPECT_EQ(LPowerLevel(silence.data(), 800, 1, 0), -127);
    std::vector<int32_t> sine = test::Sine(8000, 8000, 100, 0x7FFF0);
    EXPECT_EQ(LPowerLevel(sine.data(), 8000, 1, 0), 12);
    EXPECT_EQ(LPeakLevel(sine.data(), 8000, 1, 0), 12);
    // The smallest power the split sums keep: 8192 low parts of 1 carry into one.
    std::vector<int32_t> quiet(8192, 32);
    EXPECT_EQ(LPowerLevel(quiet.data(), 8192, 1, 0), -69);
    std::vector<int32_t> extreme(100, INT32_MIN);
    EXPECT_EQ(LPowerLevel(extreme.data(), 100, 1, 0), 15) << "clamped to the 16-bit range first";
    EXPECT_EQ(LPeakLevel(extreme.data(), 100, 1, 0), 84);
}

TEST(Player, LoudnessOfWhatWasHeard)
{
    // The EBU's reference: a 1 kHz sine at -23 dBFS in both channels reads -23 LUFS.
    Fixture f("loudness.wav");
    const std::vector<int32_t> values = test::Sine(48000 * 8, 48000, 1000, 0x7FFF0 * std::pow(10.0, -23.0 / 20), 2);
    ASSERT_TRUE(f.player.Start(MakeSource<VectorSource>(values, 48000, 2)));
    ASSERT_TRUE(f.WaitIdle());
    ASSERT_FALSE(f.events.loudness.empty());
    EXPECT_NEAR(f.events.loudness.back().shortTerm, -23.0, 0.5);
    EXPECT_NEAR(f.events.loudness.back().momentary, -23.0, 0.5);

    EXPECT_EQ(LLoudnessReading{}.Text(), "M \u2212\u221E  S \u2212\u221E LUFS") << "silence";
    EXPECT_EQ((LLoudnessReading{-23.04, -0.04}.Text()), "M \u221223.0  S 0.0 LUFS");
}

} // namespace
