// The recorder fed by the free-running file device: which frames of the input
// end up in the take, at exact frame positions.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cerrno>
#include <cmath>
#include <csignal>

#include "devices/DeviceTestSupport.h"
#include "devices/LSoundRecorder.h"
#include "devices/backends/LFileWaveIn.h"
#include "edit/LCutListAudio.h"

using test::VectorSink;

namespace {

constexpr int32_t kRate = 8000;
constexpr int32_t kBlock = 800;  // 100 ms at 8 kHz

// 16-bit input: `loud` marks, per half block, a 500 Hz tone instead of silence.
std::vector<int16_t> Input(const std::vector<bool>& loudHalves)
{
    std::vector<int16_t> v;
    for (size_t h = 0; h < loudHalves.size(); ++h)
        for (int32_t i = 0; i < kBlock / 2; ++i) {
            const double t = double(v.size()) / kRate;
            v.push_back(loudHalves[h] ? int16_t(std::lround(10000 * std::sin(2 * 3.14159265358979 * 500 * t))) : 0);
        }
    return v;
}

std::vector<bool> Halves(std::initializer_list<std::pair<int32_t, bool>> runs)
{
    std::vector<bool> h;
    for (auto [count, loud] : runs)
        h.insert(h.end(), size_t(count), loud);
    return h;
}

// What the take holds of input frames [from, to): the input as native samples
// after the running DC removal, which sees every block.
std::vector<int32_t> Processed(const std::vector<int16_t>& input, int32_t from, int32_t to)
{
    std::vector<int32_t> v(input.size());
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = input[i] * 16;
    int64_t dc = 0;
    for (size_t b = 0; b + kBlock <= v.size(); b += kBlock)
        LSoundRecorder::RemoveDc(v.data() + b, kBlock, 1, LSoundRecorder::DcFactor(kRate), &dc);
    return {v.begin() + from, v.begin() + to};
}

std::vector<int32_t> Cat(std::vector<int32_t> a, const std::vector<int32_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Records `input` to its end and stops; the sink's values.
std::vector<int32_t> Record(const std::vector<int16_t>& input, int32_t thresholdDb, int32_t silenceMs)
{
    const std::string path = test::TempPath("in.wav");
    devtest::WriteWav16(path, input, kRate, 1);
    setenv("KELVANE_AUDIO_IN", path.c_str(), 1);
    setenv("KELVANE_AUDIO_CLOCK", "free", 1);
    auto* sink = new VectorSink(kRate, 1);
    LSoundSink handle(sink);
    LSoundRecorder recorder;
    EXPECT_TRUE(recorder.Start(handle, 0, 0, thresholdDb, silenceMs));
    EXPECT_TRUE(LFileWaveIn::WaitUntilDrained(30000));
    recorder.Stop();
    return sink->values;
}

TEST(Recorder, WaitsForSoundWithHalfABlockOfPreRoll)
{
    // Quiet for three blocks, then loud from the start of the fourth.
    const auto input = Input(Halves({{6, false}, {6, true}}));
    EXPECT_EQ(Record(input, -24, 216000000), Processed(input, 2400 - 400, 4800));
}

TEST(Recorder, SoundInTheSecondHalfStartsWithoutPreRoll)
{
    const auto input = Input(Halves({{7, false}, {5, true}}));
    EXPECT_EQ(Record(input, -24, 216000000), Processed(input, 2400, 4800));
}

TEST(Recorder, StopKeepsFiftyMillisecondsAfterTheLastLoudBlock)
{
    // Two loud blocks, then two seconds of quiet that is recorded and trimmed.
    const auto input = Input(Halves({{4, true}, {40, false}}));
    EXPECT_EQ(Record(input, -24, 216000000), Processed(input, 0, 1600 + 400));
}

TEST(Recorder, LongSilenceWaitsAgainKeepingFourHundredFiftyMilliseconds)
{
    // Loud 200 ms, 6 s quiet, loud 100 ms. After 5 s of quiet past the last loud
    // block the take goes back to 450 ms after it and waits; the next sound
    // comes with the second half of the block before it.
    const auto input = Input(Halves({{4, true}, {122, false}, {2, true}}));
    const std::vector<int32_t> take = Record(input, -24, 5000);
    EXPECT_EQ(take, Cat(Processed(input, 0, 1600 + 3600), Processed(input, 62 * 800 + 400, 64 * 800)));
}

TEST(Recorder, WithoutAutotrimNothingIsTrimmed)
{
    // -127 dB: every block is sound. The partial last block comes in at Stop.
    const auto input = Input(Halves({{2, true}, {3, false}}));
    const std::vector<int32_t> take = Record(input, -127, 216000000);
    ASSERT_EQ(take.size(), input.size());
    EXPECT_EQ(std::vector<int32_t>(take.begin(), take.begin() + 800), Processed(input, 0, 800));
    for (size_t i = 1600; i < take.size(); ++i)
        ASSERT_EQ(take[i], input[i] * 16) << "the last, partial block goes in as it came";
}

TEST(Recorder, ADeviceThatGoesAwayEndsTheTakeKeepingAllItDelivered)
{
    // Free-running, the file device is gone at the file's end, mid-block.
    const auto input = Input(Halves({{5, true}}));
    const std::string path = test::TempPath("gone.wav");
    devtest::WriteWav16(path, input, kRate, 1);
    setenv("KELVANE_AUDIO_IN", path.c_str(), 1);
    setenv("KELVANE_AUDIO_CLOCK", "free", 1);
    auto* sink = new VectorSink(kRate, 1);
    LSoundSink handle(sink);
    LSoundRecorder recorder;
    ASSERT_TRUE(recorder.Start(handle, 0, 0, -127, 216000000));
    EXPECT_TRUE(devtest::PumpUntil([&] { return recorder.GetState() == LSoundRecorder::kIdle; }))
        << "the recording ends by itself";
    EXPECT_TRUE(recorder.DeviceLost());
    EXPECT_EQ(sink->values.size(), input.size()) << "the partial last block too";
    ASSERT_TRUE(recorder.Start(LSoundSink(new VectorSink(kRate, 1)), 0, 0, -127, 216000000));
    EXPECT_FALSE(recorder.DeviceLost());
    recorder.Stop();
}

// Files this process writes may grow to `bytes` and no further: a write past
// that fails with EFBIG, as one on a full disk fails with ENOSPC.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, SIG_DFL);
    }
    rlimit old{};
};

TEST(Recorder, AFailedWriteEndsTheTakeKeepingExactlyWhatWasWritten)
{
    const auto input = Input(Halves({{20, true}}));
    const std::string path = test::TempPath("long.wav");
    devtest::WriteWav16(path, input, kRate, 1);
    setenv("KELVANE_AUDIO_IN", path.c_str(), 1);
    setenv("KELVANE_AUDIO_CLOCK", "free", 1);
    LCutListAudio take;
    LSoundRecorder recorder;
    {
        // Three blocks fit; the fourth lands in part before the write fails.
        const FileSizeLimit limit(3 * kBlock * 4 + 1000);
        ASSERT_TRUE(recorder.Start(take.OpenSink(kRate, 1), 0, 0, -127, 216000000));
        EXPECT_TRUE(devtest::PumpUntil([&] { return recorder.GetState() == LSoundRecorder::kIdle; }))
            << "the recording ends by itself";
    }
    EXPECT_TRUE(recorder.WriteFailed());
    EXPECT_EQ(recorder.WriteErrno(), EFBIG);
    EXPECT_FALSE(recorder.DeviceLost()) << "the input's end came after";
    ASSERT_EQ(take.Cuts().size(), 1u);
    EXPECT_EQ(test::ReadAll(take.OpenSource()), Processed(input, 0, 3 * kBlock)) << "nothing shifted, nothing lost";
    EXPECT_EQ(test::ReadFileBytes(LAudioCutTank::Get().GetAudFilePath(take.Cuts()[0].Segment())).size(),
              size_t(3 * kBlock * 4))
        << "the part of the failed block is cut off";
    ASSERT_TRUE(recorder.Start(LSoundSink(new VectorSink(kRate, 1)), 0, 0, -127, 216000000));
    EXPECT_FALSE(recorder.WriteFailed());
    recorder.Stop();
}

TEST(Recorder, BlockSizesAndDcFactorsFollowTheRate)
{
    EXPECT_EQ(LSoundRecorder::FramesPerBuffer(8000), 800);
    EXPECT_EQ(LSoundRecorder::DcFactor(8000), 25);
    EXPECT_EQ(LSoundRecorder::FramesPerBuffer(44100), 4410);
    EXPECT_EQ(LSoundRecorder::DcFactor(44100), 5);
    EXPECT_EQ(LSoundRecorder::FramesPerBuffer(192000), 8192);
    EXPECT_EQ(LSoundRecorder::DcFactor(192000), 2);
    // A constant offset is removed; a full-scale one cannot push a sample out of the sink's range.
    std::vector<int32_t> block(8000, -0x80000);
    int64_t dc = 0;
    for (int32_t b = 0; b < 10; ++b)
        LSoundRecorder::RemoveDc(block.data(), 8000, 1, 25, &dc);
    EXPECT_GE(*std::min_element(block.begin(), block.end()), -0x80000);
    EXPECT_LT(std::abs(block.back()), 16);
}

TEST(Recorder, RefusesWhatCannotRecord)
{
    LSoundRecorder recorder;
    EXPECT_FALSE(recorder.Start(LSoundSink(), 0, 0, -24, 5000));
    auto* broken = new VectorSink(kRate, 1);
    broken->Fail();
    EXPECT_FALSE(recorder.Start(LSoundSink(broken), 0, 0, -24, 5000));
    setenv("KELVANE_AUDIO_IN", test::TempPath("missing.wav").c_str(), 1);
    EXPECT_FALSE(recorder.Start(LSoundSink(new VectorSink(kRate, 1)), 0, 0, -24, 5000));
    EXPECT_EQ(recorder.GetState(), LSoundRecorder::kIdle);
}

} // namespace
