// Stop from every state, while the thread is busy, returns and leaves nothing
// behind (the sanitizer build checks the leaks).
#include <gtest/gtest.h>

#include "devices/DeviceTestSupport.h"
#include "devices/LSoundPlayer.h"
#include "devices/LSoundRecorder.h"
#include "devices/backends/LFileWaveIn.h"

namespace {

// A source that works for a while on every read, so Stop meets a busy thread.
class SlowSource : public LSoundSourceBase {
public:
    SlowSource() : LSoundSourceBase(8000, 1, 0x7FFF0) {}
    void Read(int32_t* buffer, int32_t frames) override
    {
        volatile uint32_t spin = 0;
        for (int32_t i = 0; i < 200000; ++i)
            spin = spin + uint32_t(i);
        for (int32_t i = 0; i < frames; ++i)
            buffer[i] = int32_t((position_ + i) % 1000) * 16;
        position_ += frames;
    }
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override { return 8000 * 600; }
    void Seek(int32_t frame) override { position_ = frame; }

private:
    int32_t position_ = 0;
};

TEST(Stop, PlayerFromEveryState)
{
    for (bool freeRunning : {false, true}) {
        devtest::UseCapture(freeRunning ? "stop-free.wav" : "stop.wav", freeRunning);
        for (int32_t state = 0; state < 6; ++state) {
            LSoundPlayer player;
            devtest::PlayerEvents events;
            player.notify = &events;
            const uint16_t flags = state == 1   ? LSoundPlayer::kStartPaused
                                   : state == 2 ? LSoundPlayer::kStartPreRoll
                                                : 0;
            ASSERT_TRUE(player.Start(MakeSource<SlowSource>(), flags));
            if (state == 3)
                player.Cue();
            if (state == 4) {
                player.Cue();
                player.Seek(4000);
            }
            if (state == 5)
                player.Seek(8000 * 599);  // near the end: stops on its own, maybe before Stop
            player.Stop();
            EXPECT_EQ(player.GetState(), 0) << state;
            EXPECT_EQ(events.events.back(), "stopped") << state;
            player.Stop();
            player.notify = &player;
        }
    }
}

TEST(Stop, RecorderFromEveryState)
{
    const std::string in = test::TempPath("stop-in.wav");
    devtest::WriteWav16(in, std::vector<int16_t>(16000, 3000), 8000, 1);
    setenv("KELVANE_AUDIO_IN", in.c_str(), 1);
    for (bool freeRunning : {false, true}) {
        if (freeRunning)
            setenv("KELVANE_AUDIO_CLOCK", "free", 1);
        else
            unsetenv("KELVANE_AUDIO_CLOCK");
        for (uint16_t flags : {0, 1, 2}) {
            LSoundRecorder recorder;
            ASSERT_TRUE(recorder.Start(LSoundSink(new test::VectorSink(8000, 1)), flags, 0, -24, 5000));
            if (freeRunning && flags != 1)
                LFileWaveIn::WaitUntilDrained(30000);
            recorder.Stop();
            EXPECT_EQ(recorder.GetState(), LSoundRecorder::kIdle);
        }
    }
}

} // namespace
