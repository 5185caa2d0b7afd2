// Headerless files (raw, VOX) in kelvane-batch: the terminal's answer to their
// settings dialog is the stored settings with the run's --set overrides.
#include <gtest/gtest.h>

#include <cmath>

#include "core/LFile.h"
#include "core/LSettings.h"
#include "formats/FormatTestUtil.h"
#include "formats/LRawFile.h"
#include "formats/LRawSettings.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::ReadAll;
using test::TempPath;

namespace {

// Converts `file` to WAV into `out` with the extra arguments; the exit status, stderr in `log`.
int ToWav(const std::string& file, const std::string& args, const std::string& out, std::string& log)
{
    const std::string logPath = TempPath("headerless.log");
    int status = test::Run(test::BatchProgram() + " -q -f wav" + args + " -o " + Quote(out) + " " + Quote(file) +
                           " 2> " + Quote(logPath));
    log = test::ReadFileBytes(logPath);
    return status;
}

} // namespace

TEST(BatchHeaderless, RawFilesDecodeAsSoxDecodesThemWithTheSettingsGiven)
{
    struct Case {
        const char* name;
        const char* sox;  // sox's options for the headerless file
        int32_t rate;
        int32_t channels;
        int32_t codec;
    };
    const Case cases[] = {
        {"s16le-stereo.raw", "-t raw -e signed-integer -b 16 -L", 11025, 2, kRawCodecPcm16LE},
        {"s16be.raw", "-t raw -e signed-integer -b 16 -B", 22050, 1, 6},
        {"ulaw.raw", "-t raw -e mu-law -b 8", 8000, 1, 1},
        {"u8-stereo.snd", "-t raw -e unsigned-integer -b 8", 16000, 2, 4},
    };
    const std::string out = TempPath("raw-out");
    for (const Case& c : cases) {
        const std::string rc = std::to_string(c.rate) + " -c " + std::to_string(c.channels) + " ";
        const std::string file =
            test::SoxMake(c.name, "-r " + rc + c.sox, "synth 0.4 sine 300 sine 1234 gain -3");
        std::string log;
        const std::string args = " --set RawAudio.SampleRate=" + std::to_string(c.rate) +
                                 " --set RawAudio.Channels=" + std::to_string(c.channels) +
                                 " --set RawAudio.Codec=" + std::to_string(c.codec);
        ASSERT_EQ(ToWav(file, args, out, log), 0) << c.name << "\n" << log;
        LSoundSource ours = LWaveFile::OpenSource(ApplyNewFileExtension(out + "/" + c.name, ".wav"));
        EXPECT_EQ(ours->GetSampleRate(), c.rate) << c.name;
        EXPECT_EQ(ours->GetChannels(), c.channels) << c.name;
        std::vector<int32_t> sox = test::SoxDecode(file, "-r " + rc + c.sox);
        ASSERT_FALSE(sox.empty()) << c.name;
        EXPECT_EQ(ReadAll(ours), sox) << c.name;
    }
}

TEST(BatchHeaderless, VoxFilesDecodeWithTheStoredSettingsAndFailuresSayWhy)
{
    // sox writes the same 4-bit ADPCM; a VOX file is read at the stored rate.
    const std::string vox = test::SoxMake("speech.vox", "-r 8000 -c 1", "synth 0.5 sine 440 sine 700 gain -6");
    LRawSettings settings = LRawSettings::Defaults(kVoxAudioSection);
    const std::vector<int32_t> reference = ReadAll(LRawFile::OpenSource(vox, settings));
    const std::string out = TempPath("vox-out");
    std::string log;
    ASSERT_EQ(ToWav(vox, "", out, log), 0) << log;
    LSoundSource ours = LWaveFile::OpenSource(out + "/speech.wav");
    EXPECT_EQ(ours->GetSampleRate(), 8000);
    const std::vector<int32_t> decoded = ReadAll(ours);
    ASSERT_EQ(decoded.size(), reference.size());
    for (size_t i = 0; i < decoded.size(); ++i)
        ASSERT_LE(std::abs(decoded[i] - reference[i]), 8) << "frame " << i << ": the decoder's values, in 16 bits";
    // Against sox's own decoding of the file: the same waveform (sox plays it
    // louder, so the level is fitted first).
    const std::vector<int32_t> sox = test::SoxDecode(vox, "-r 8000 -c 1");
    ASSERT_EQ(sox.size(), decoded.size());
    double xy = 0, xx = 0;
    for (size_t i = 0; i < sox.size(); ++i) {
        xy += double(sox[i]) * decoded[i];
        xx += double(sox[i]) * sox[i];
    }
    const double gain = xy / xx;
    double signal = 0, noise = 0;
    for (size_t i = 0; i < sox.size(); ++i) {
        const double want = gain * sox[i];
        signal += want * want;
        noise += (decoded[i] - want) * (decoded[i] - want);
    }
    EXPECT_GT(10 * std::log10(signal / std::max(noise, 1.0)), 25.0);

    ASSERT_TRUE(LSettings::WriteInt(kVoxAudioSection, "SampleRate", 6000));
    ASSERT_EQ(ToWav(vox, "", out, log), 0) << log;
    EXPECT_EQ(LWaveFile::OpenSource(out + "/speech.wav")->GetSampleRate(), 6000) << "the stored rate";
    ASSERT_EQ(ToWav(vox, " --set VoxAudio.SampleRate=11025", out, log), 0) << log;
    EXPECT_EQ(LWaveFile::OpenSource(out + "/speech.wav")->GetSampleRate(), 11025) << "the run's override";

    // A rate or coding the dialog would refuse is refused before any file runs.
    EXPECT_EQ(ToWav(vox, " --set VoxAudio.SampleRate=5000", TempPath("vox-bad"), log), 2);
    EXPECT_NE(log.find("--set VoxAudio.SampleRate=5000: Please enter a sample rate between 6000 and 196000."),
              std::string::npos)
        << log;
    EXPECT_FALSE(FileExists(TempPath("vox-bad/speech.wav")));
    EXPECT_EQ(ToWav(vox, " --set VoxAudio.Codec=9", TempPath("vox-bad"), log), 2);
    EXPECT_NE(log.find("--set VoxAudio.Codec=9: the coding must be one of 0 to 6"), std::string::npos) << log;
    // One stored out of range still fails the file, saying why.
    ASSERT_TRUE(LSettings::WriteInt(kVoxAudioSection, "Codec", 9));
    EXPECT_EQ(ToWav(vox, "", TempPath("vox-bad"), log), 2);
    EXPECT_NE(log.find("failed: The setting \"Codec\" of \"VoxAudio\" is 9"), std::string::npos) << log;
}
