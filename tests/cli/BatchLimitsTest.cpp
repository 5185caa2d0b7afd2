// What kelvane-batch refuses before it converts anything: rates it cannot
// process, command values outside their dialogs' ranges, settings no writer
// takes, and scripts that are no scripts.
#include <gtest/gtest.h>

#include "core/LFile.h"
#include "formats/LAifFile.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

// Runs kelvane-batch with `args`; its exit status, with what it said in `said`.
int Batch(const std::string& args, std::string& said)
{
    const std::string log = TempPath("said.txt");
    const int status = test::Run(test::BatchProgram() + " -q " + args + " 2> " + Quote(log));
    said = test::ReadFileBytes(log);
    return status;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

} // namespace

TEST(BatchLimits, ARateOutsideWhatCanBeProcessedIsOnlyCopied)
{
    // 529 KB of audio claiming 1 Hz, and an AIFF at 4 Hz.
    const std::string wav = test::WriteSineWav("one-hertz.wav", 1, 1, 270000, 0.1);
    const std::string aiff = TempPath("four-hertz.aiff");
    {
        const std::vector<int32_t> v = test::Sine(20000, 4, 1, 200000, 2);
        LSoundSink sink = LAifFile::OpenSink(aiff, 4, 2);
        sink->Write(v.data(), 20000);
    }
    const std::string out = TempPath("limits-out");
    std::string said;
    for (const std::string& args : {"-f mp3 " + Quote(wav), "--rate 48000 " + Quote(wav), "-c Amplify=50 " + Quote(wav),
                                    "-f wav " + Quote(aiff)}) {
        EXPECT_EQ(Batch("-o " + Quote(out) + " " + args, said), 2) << args;
        EXPECT_TRUE(Has(said, " Hz. Kelvane processes sample rates from 6000 to 196000 Hz only")) << said;
        EXPECT_TRUE(Has(said, "is 1 Hz") || Has(said, "is 4 Hz")) << said;
    }
    EXPECT_EQ(ListFolder(out), std::vector<std::string>{}) << "nothing written, not even a temporary";

    // A copy needs no processing: sample for sample the source.
    ASSERT_EQ(Batch("-o " + Quote(out) + " " + Quote(wav) + " " + Quote(aiff), said), 0) << said;
    EXPECT_EQ(test::ReadAll(LWaveFile::OpenSource(out + "/one-hertz.wav")), test::ReadAll(LWaveFile::OpenSource(wav)));
    EXPECT_EQ(LWaveFile::OpenSource(out + "/one-hertz.wav")->GetSampleRate(), 1);
    EXPECT_EQ(test::ReadAll(LAifFile::OpenSource(out + "/four-hertz.aiff")), test::ReadAll(LAifFile::OpenSource(aiff)));
}

TEST(BatchLimits, EveryCommandValueIsCheckedAgainstItsRangeFirst)
{
    const std::string in = test::WriteSineWav("values.wav", 8000, 1, 8000);
    const std::string out = TempPath("values-out");
    const std::pair<std::string, std::string> refused[] = {
        {"-c Amplify=-5", "Amplify Gain must be between 0 and 400%."},
        {"-c \"Simple Speed and Pitch Change=5\"", "Speed Change Percent must be between 10 and 300."},
        {"-c \"Constant Speed and Pitch Change=0\"", "Speed Change Percent must be between 10 and 300."},
        {"-c \"Insert Silence At The Start=-1000\"", "Silence Time must be between 0 and 3600000 ms"},
        {"-c \"Insert Silence At The Start=2147483647\"", "Silence Time must be between 0 and 3600000 ms"},
        {"-c \"High-Pass Filter=-1\"", "Frequency must be between 1 and 20000 Hz."},
        {"-c \"Convert Sample Rate=1000\"", "Please enter a sample rate between 6000 and 196000."},
        {"-c \"Convert Channel (Mono <-> Stereo)=3\"", "The channel count must be 1 (mono) or 2 (stereo)."},
        {"-c Echo=800,-1", "Echo Gain must be between 0 and 99%."},
        // Stored values are checked too, once --set has changed them.
        {"-c \"Simple Speed and Pitch Change\" --set StoredValues.SpSpeedPitch=5",
         "the stored value (StoredValues.SpSpeedPitch) it would run with: Speed Change Percent must be between 10"},
        {"--set RawAudio.SampleRate=0 -f raw", "Please enter a sample rate between 6000 and 196000."},
        {"--set RawAudio.Channels=3 -f raw", "the channel count must be 1 (mono) or 2 (stereo)"},
    };
    std::string said;
    for (const auto& [args, message] : refused) {
        EXPECT_EQ(Batch(args + " -o " + Quote(out) + " " + Quote(in), said), 2) << args;
        EXPECT_TRUE(Has(said, message)) << args << ": " << said;
    }
    EXPECT_FALSE(FolderExists(out)) << "refused before the output folder was made";
    ASSERT_EQ(Batch("-c \"Insert Silence At The End=1000\" -c \"High-Pass Filter=1\" -c Amplify=0 -o " + Quote(out) +
                        " " + Quote(in),
                    said),
              0)
        << said;
    EXPECT_EQ(LWaveFile::OpenSource(out + "/values.wav")->GetLength(), 16000);
}

TEST(BatchLimits, AScriptIsReadOnlyUpToOneMegabyte)
{
    const std::string in = test::WriteSineWav("script.wav", 8000, 1, 800);
    std::string said;
    // /dev/zero never ends: refused at the bound instead of filling memory.
    EXPECT_EQ(Batch("-s /dev/zero -o " + Quote(TempPath("z")) + " " + Quote(in), said), 2);
    EXPECT_TRUE(Has(said, "The command script \"/dev/zero\" is larger than 1 MB")) << said;
    // A version byte and records up to just past the bound.
    const std::string record("\x0A\0\0\0\0\0\0\0", 8);
    std::string big(1, '\0');
    while (big.size() + record.size() <= 1024 * 1024)
        big += record;
    const std::string path = TempPath("big.kvb");
    test::WriteFileBytes(path, big);
    EXPECT_EQ(Batch("-s " + Quote(path) + " --save-script " + Quote(TempPath("bound-copy.kvb")), said), 0) << said;
    test::WriteFileBytes(path, big + record);
    EXPECT_EQ(Batch("-s " + Quote(path) + " --save-script " + Quote(TempPath("bound-copy.kvb")), said), 2);
    EXPECT_TRUE(Has(said, "big.kvb\" is larger than 1 MB")) << said;
}
