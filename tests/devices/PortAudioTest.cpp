// The real PortAudio backend end to end, without a sound card: ALSA is pointed
// at "file" devices by an ALSA configuration in a home folder of the test's
// own. ALSA's null device under them has no clock, so nothing here depends on
// real-time pacing. Each case runs in a child process, because PortAudio reads
// the ALSA configuration once per process.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "devices/DeviceTestSupport.h"
#include "devices/LAudioDevices.h"
#include "devices/LSoundPlayer.h"
#include "devices/LSoundRecorder.h"

using devtest::PumpUntil;

namespace {

// An ALSA setup whose default device plays into `out` and records from `in`,
// both raw 16-bit in the format the stream was opened with.
void WriteAlsaConfig(const std::string& home, const std::string& out, const std::string& in)
{
    std::ofstream f(home + "/.asoundrc");
    f << "pcm.!default { type asym playback.pcm \"kvout\" capture.pcm \"kvin\" }\n"
      << "pcm.kvout { type plug slave.pcm { type file slave.pcm \"null\" file \"" << out
      << "\" format \"raw\" } }\n"
      << "pcm.kvin { type plug slave.pcm { type file slave.pcm \"null\" file \"/dev/null\" infile \"" << in
      << "\" format \"raw\" } }\n";
}

// Runs `body` in a child process with HOME at a fresh folder; its exit status.
int InChild(const std::function<int(const std::string& home)>& body)
{
    const std::string home = test::TempPath("alsa-home");
    test::Run("mkdir -p " + test::Quote(home));
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("HOME", home.c_str(), 1);
        unsetenv("KELVANE_AUDIO_OUT");
        unsetenv("KELVANE_AUDIO_IN");
        unsetenv("KELVANE_AUDIO_CLOCK");
        _exit(body(home));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

std::vector<int16_t> ReadRaw(const std::string& path)
{
    const std::string b = test::ReadFileBytes(path);
    std::vector<int16_t> v(b.size() / 2);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int16_t(GetLE16(reinterpret_cast<const uint8_t*>(b.data()) + 2 * i));
    return v;
}

// Drops the silent frames a stream adds before and after the audio.
std::vector<int16_t> TrimSilence(std::vector<int16_t> v, size_t channels)
{
    auto silentAt = [&](size_t frame) {
        for (size_t c = 0; c < channels; ++c)
            if (v[frame * channels + c] != 0)
                return false;
        return true;
    };
    size_t first = 0, last = v.size() / channels;
    while (first < last && silentAt(first))
        ++first;
    while (last > first && silentAt(last - 1))
        --last;
    return {v.begin() + std::ptrdiff_t(first * channels), v.begin() + std::ptrdiff_t(last * channels)};
}

TEST(PortAudio, PlaysADocumentThroughAlsa)
{
    const std::string out = test::TempPath("alsa-out.raw");
    std::vector<int32_t> values(44100 * 2);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = int32_t((i % 1000) + 1) * 16 * ((i & 1) ? -3 : 1);
    const int status = InChild([&](const std::string& home) {
        WriteAlsaConfig(home, out, "/dev/null");
        LAudioDevices::Rescan();
        if (LAudioDevices::OutputCount() < 1)
            return 10;
        LSoundPlayer player;
        // Held until every buffer of this short source waits at the device, so
        // the stream never runs dry in the middle.
        if (!player.Start(MakeSource<test::VectorSource>(values, 44100, 2), LSoundPlayer::kStartPreRoll))
            return 11;
        if (!PumpUntil([&] { return player.GetState() == 0; }))
            return 12;
        return TrimSilence(ReadRaw(out), 2) == devtest::As16(values) ? 0 : 13;
    });
    EXPECT_EQ(status, 0) << "10 no device, 11 open failed, 12 never ended, 13 other audio";
}

TEST(PortAudio, RecordsFromAFileThroughAlsa)
{
    const std::string in = test::TempPath("alsa-in.raw");
    std::string bytes;
    std::vector<int32_t> expected;
    for (int32_t i = 0; i < 4000; ++i) {
        const int16_t s = int16_t(1000 + (i % 200) * 20);
        bytes.push_back(char(s & 0xFF));
        bytes.push_back(char((s >> 8) & 0xFF));
        expected.push_back(s * 16);
    }
    test::WriteFileBytes(in, bytes);
    int64_t dc = 0;
    for (size_t b = 0; b < expected.size(); b += 800)
        LSoundRecorder::RemoveDc(expected.data() + b, 800, 1, LSoundRecorder::DcFactor(8000), &dc);
    const int status = InChild([&](const std::string& home) {
        WriteAlsaConfig(home, "/dev/null", in);
        LAudioDevices::Rescan();
        if (LAudioDevices::InputCount() < 1)
            return 10;
        auto* sink = new test::VectorSink(8000, 1);
        LSoundSink handle(sink);
        LSoundRecorder recorder;
        struct Position : LSoundRecorderNotify {
            int32_t ms = 0;
            void RecordPosition(int32_t p, uint32_t) override { ms = p; }
        } position;
        recorder.notify = &position;
        // -127 dB: everything counts as sound, so the position runs with the recording.
        if (!recorder.Start(handle, 0, 0, -127, 216000000))
            return 11;
        // After the file ALSA's device gives silence for ever: stop a while after it.
        if (!PumpUntil([&] { return position.ms > 1000; }))
            return 12;
        recorder.Stop();
        recorder.notify = &recorder;
        std::vector<int32_t> got = sink->values;
        size_t first = 0;
        while (first < got.size() && got[first] == 0)
            ++first;
        if (got.size() < first + expected.size())
            return 13;
        return std::equal(expected.begin(), expected.end(), got.begin() + std::ptrdiff_t(first)) ? 0 : 14;
    });
    EXPECT_EQ(status, 0) << "10 no device, 11 open failed, 12 never recorded, 13 short, 14 other audio";
}

TEST(PortAudio, NoCardMeansNoDeviceAndSilence)
{
    const int status = InChild([](const std::string& home) {
        // An empty configuration of our own: no card, nothing defined.
        std::ofstream(home + "/.asoundrc") << "\n";
        LAudioDevices::Rescan();
        LSoundPlayer player;
        const bool started = player.Start(MakeSource<test::VectorSource>(std::vector<int32_t>(800, 16), 8000, 1));
        return started ? 1 : 0;
    });
    EXPECT_EQ(status, 0);
}

} // namespace
