#include <gtest/gtest.h>

#include "core/LSoundTime.h"
#include "core/SampleConvert.h"

namespace {

LSoundTime Parsed(const char* text)
{
    LSoundTime t(12345);
    t.SetText(text);
    return t;
}

} // namespace

TEST(SoundTime, ConvertsBetweenFramesAndMillisecondsWithoutOverflow)
{
    LSoundTime t;
    t.SetSamples(44100, 44100);
    EXPECT_EQ(t.GetMs(), 1000);
    t.SetSamples(-22050, 44100);
    EXPECT_EQ(t.GetMs(), -500);
    t.SetSamples(999, 0);
    EXPECT_EQ(t.GetMs(), -500) << "a rate of 0 leaves the value";
    EXPECT_EQ(LSoundTime(1500).GetSamples(44100), 66150);

    // Six hours at 96 kHz: a naive frames * 1000 would overflow 32 bits.
    int32_t frames = 6 * 3600 * 96000;
    t.SetSamples(frames, 96000);
    EXPECT_EQ(t.GetMs(), 6 * 3600 * 1000);
    EXPECT_EQ(t.GetSamples(96000), frames);
}

TEST(SoundTime, FormatsRoundingAcrossBoundaries)
{
    EXPECT_EQ(LSoundTime(59999).GetTextCs(), "0:01:00.00");
    EXPECT_EQ(LSoundTime(59999).GetTextMs(), "0:00:59.999");
    EXPECT_EQ(LSoundTime(89500).GetTextSec(), "0:01:30");
    EXPECT_EQ(LSoundTime(89499).GetTextSec(), "0:01:29");
    EXPECT_EQ(LSoundTime(-1500).GetTextCs(), "-0:00:01.50");
    EXPECT_EQ(LSoundTime(90000000).GetTextSec(), "25:00:00");
    EXPECT_EQ(LSoundTime(INT32_MIN).GetTextMs(), "-596:31:23.648");
}

TEST(SoundTime, ParsesTypedTimes)
{
    EXPECT_EQ(Parsed("1:02:03.45").GetMs(), 3723450);
    EXPECT_EQ(Parsed("90").GetMs(), 90000);
    EXPECT_EQ(Parsed("2:30").GetMs(), 150000);
    EXPECT_EQ(Parsed("abc").GetMs(), 0);
    EXPECT_EQ(Parsed("1.2.3").GetMs(), 1230);
    EXPECT_EQ(Parsed("-1:00").GetMs(), -60000);
    EXPECT_EQ(Parsed("0.12345").GetMs(), 123) << "digits past milliseconds add nothing";
    EXPECT_EQ(Parsed("").GetMs(), 0);
    // A formatted value parses back to itself.
    for (int32_t ms : {0, 1, 999, 61001, 3599999, 86399999, -4321})
        EXPECT_EQ(Parsed(LSoundTime(ms).GetTextMs().c_str()).GetMs(), ms) << ms;
    Parsed("99999999999999999999:99:99");  // must not overflow
}

TEST(SampleConvert, LimitsAndRounding)
{
    int32_t in[] = {0x7FFF0, -0x7FFF0, 7, 8, -8, -9, -0x80000};
    int16_t p16[7];
    SamplesToPcm16(p16, in, 7);
    EXPECT_EQ(p16[0], 32767);
    EXPECT_EQ(p16[1], -32767);
    EXPECT_EQ(p16[2], 0);
    EXPECT_EQ(p16[3], 1);
    EXPECT_EQ(p16[4], 0);
    EXPECT_EQ(p16[5], -1);
    EXPECT_EQ(p16[6], -32768);

    uint8_t p8[7];
    SamplesToPcm8(p8, in, 7);
    EXPECT_EQ(p8[0], 255);
    EXPECT_EQ(p8[6], 0);
    int32_t back[2];
    uint8_t bytes[] = {0, 255};
    SamplesFromPcm8(back, bytes, 2);
    EXPECT_EQ(back[0], -524288);
    EXPECT_EQ(back[1], 520192);

    // Every 16-bit value survives the trip through the stream representation.
    for (int32_t v = -32768; v <= 32767; ++v) {
        int16_t s = int16_t(v), r;
        int32_t x;
        SamplesFromPcm16(&x, &s, 1);
        SamplesToPcm16(&r, &x, 1);
        ASSERT_EQ(r, s);
    }
}
