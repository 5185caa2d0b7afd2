#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/LFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

struct Loudness {
    double integrated = NAN, range = NAN, peak = NAN;
};

// kelvane-batch --info --loudness of `path`.
Loudness Ours(const std::string& path)
{
    const std::string out = TempPath("info.txt");
    EXPECT_EQ(test::Run(test::BatchProgram() + " --info --loudness " + Quote(path) + " > " + Quote(out)), 0);
    const std::string line = test::ReadFileBytes(out);
    const size_t lufs = line.find(" LUFS, LRA ");
    const size_t from = line.rfind(", ", lufs);
    Loudness l;
    if (lufs == std::string::npos || from == std::string::npos ||
        std::sscanf(line.c_str() + from + 2, "%lf LUFS, LRA %lf LU, true peak %lf dBTP", &l.integrated, &l.range,
                    &l.peak) != 3)
        ADD_FAILURE() << line;
    return l;
}

// The summary of ffmpeg's ebur128 filter with true peaks.
Loudness Peer(const std::string& path)
{
    const std::string log = TempPath("ebur128.txt");
    test::Run("ffmpeg -nostdin -hide_banner -nostats -i " + Quote(path) +
              " -af ebur128=peak=true:framelog=verbose -f null - 2> " + Quote(log));
    const std::string text = test::ReadFileBytes(log);
    const size_t summary = text.rfind("Summary:");
    if (summary == std::string::npos) {
        ADD_FAILURE() << text;
        return {};
    }
    const std::string s = text.substr(summary);
    auto field = [&](const char* name) {
        const size_t at = s.find(std::string(" ") + name + ":");
        return at == std::string::npos ? NAN : std::strtod(s.c_str() + at + std::strlen(name) + 2, nullptr);
    };
    return {field("I"), field("LRA"), field("Peak")};
}

void WriteWav(const std::string& path, const std::vector<int32_t>& v, int32_t rate, uint8_t channels)
{
    LSoundSink sink = LWaveFile::OpenSinkPCM(path, rate, 0, 16, channels);
    sink->Write(v.data(), int32_t(v.size() / channels));
}

// Music-like: a chord whose level changes every 3 s (a loudness range to
// measure) under drum hits every half second (peaks far above the average,
// so that normalizing it needs the limiter). Stereo, 44.1 kHz, 30 s.
std::string Music()
{
    const int32_t rate = 44100, frames = rate * 30;
    std::vector<int32_t> v(size_t(frames) * 2);
    uint32_t seed = 7;
    for (int32_t i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double level = int32_t(t / 3) % 2 ? 0.05 : 0.2;
        double chord = 0;
        for (double f : {220.0, 277.18, 329.63})
            for (int h = 1; h <= 3; ++h)
                chord += std::sin(2 * M_PI * f * h * t) / (3.0 * h);
        seed = seed * 1664525u + 1013904223u;
        const double noise = double(int32_t(seed >> 8) - (1 << 23)) / double(1 << 23);
        const double hit = 0.7 * noise * std::exp(-std::fmod(t, 0.5) / 0.02);
        const double l = std::clamp((level * chord + hit) * 524272.0, -524272.0, 524272.0);
        const double r = std::clamp((level * chord * 0.8 + hit) * 524272.0, -524272.0, 524272.0);
        v[size_t(i) * 2] = int32_t(l);
        v[size_t(i) * 2 + 1] = int32_t(r);
    }
    const std::string path = TempPath("music.wav");
    WriteWav(path, v, rate, 2);
    return path;
}

// The reference of the scale: a 1 kHz sine at -23 dBFS in both channels reads
// -23 LUFS. 48 kHz, 20 s.
std::string Reference()
{
    const std::string path = TempPath("ebu-23.wav");
    WriteWav(path, test::Sine(48000 * 20, 48000, 1000.0, 524288.0 * std::pow(10.0, -23.0 / 20.0), 2), 48000, 2);
    return path;
}

// Speech-like, mono at espeak-ng's 22.05 kHz; empty without espeak-ng.
std::string Speech()
{
    if (!test::HaveProgram("espeak-ng"))
        return {};
    const std::string path = TempPath("speech.wav");
    test::Run("espeak-ng -w " + Quote(path) +
              " 'Loudness normalization keeps every programme at the same perceived level, whatever its peaks. "
              "The quick brown fox jumps over the lazy dog, twice, and then rests.'");
    return path;
}

// A plucked note dying away for 20 s, then 20 s of pink noise: short-term
// loudness that changes within seconds, where a range taken from one value a
// second reads 2 LU from one taken ten times a second. Empty without sox.
std::string Passages()
{
    if (!test::HaveProgram("sox"))
        return {};
    const std::string path = TempPath("passages.wav");
    test::Run("sox -q -n -r 44100 -c 2 " + Quote(path) + " synth 20 pluck C3 : synth 20 pinknoise vol 0.3");
    return path;
}

} // namespace

TEST(BatchLoudness, InfoMatchesFfmpegOnMusicSpeechPassagesAndTheReferenceSine)
{
    if (!test::HaveProgram("ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed";
    for (const std::string& path : {Reference(), Music(), Speech(), Passages()}) {
        if (path.empty())
            continue;
        const Loudness ours = Ours(path), peer = Peer(path);
        EXPECT_NEAR(ours.integrated, peer.integrated, 0.1) << path;
        EXPECT_NEAR(ours.range, peer.range, 0.5) << path;
        EXPECT_NEAR(ours.peak, peer.peak, 0.2) << path;
    }
    EXPECT_NEAR(Ours(Reference()).integrated, -23.0, 0.05);
}

TEST(BatchLoudness, NormalizeReachesTheTargetUnderTheCeilingAndLeavesSilenceAlone)
{
    if (!test::HaveProgram("ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed";
    const std::string out = TempPath("normalized");
    for (const std::string& path : {Music(), Speech(), Reference()}) {
        if (path.empty())
            continue;
        const Loudness before = Ours(path);
        ASSERT_EQ(test::Run(test::BatchProgram() + " -q -c \"Normalize Loudness=-16,-1\" -o " + Quote(out) + " " +
                            Quote(path)),
                  0);
        const Loudness after = Peer(FilePathCat(out, GetFileFromPath(path)));
        EXPECT_NEAR(after.integrated, -16.0, 0.2) << path;
        EXPECT_LE(after.peak, -1.0) << path;
        if (path == TempPath("music.wav")) {
            EXPECT_GT(before.peak + (-16.0 - before.integrated), 0.0) << "the music must need the limiter";
        }
    }

    const std::string silent = TempPath("silent.wav");
    WriteWav(silent, std::vector<int32_t>(8000 * 2, 0), 8000, 2);
    const std::string err = TempPath("err.txt");
    EXPECT_EQ(test::Run(test::BatchProgram() + " -q -c \"Normalize Loudness=-16,-1\" -o " + Quote(out) + " " +
                        Quote(silent) + " 2> " + Quote(err)),
              0);
    EXPECT_NE(test::ReadFileBytes(err).find("too quiet or too short"), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(FilePathCat(out, "silent.wav")), test::ReadFileBytes(silent));

    // Values the dialog would refuse are refused before anything runs.
    EXPECT_NE(test::Run(test::BatchProgram() + " -q -c \"Normalize Loudness=-3,-1\" -o " + Quote(out) + " " +
                        Quote(silent) + " 2> " + Quote(err)),
              0);
    EXPECT_NE(test::ReadFileBytes(err).find("Target Loudness must be between -70 and -5 LUFS"), std::string::npos);
}
