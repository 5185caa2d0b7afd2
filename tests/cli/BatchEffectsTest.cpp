#include <gtest/gtest.h>

#include "app/LKVBatchCatalogue.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

std::string Batch() { return test::BatchProgram(); }

std::string Tone(const std::string& name, int32_t rate, uint8_t channels, int32_t frames)
{
    return test::WriteSineWav(name, rate, channels, frames);
}

int32_t FramesOf(const std::string& path, uint8_t channels)
{
    return int32_t(test::ReadAll(LWaveFile::OpenSource(path)).size() / channels);
}

} // namespace

TEST(BatchEffects, EveryFilterKeepsTheLengthAndSilenceAddsItsTime)
{
    const std::string in = Tone("tone.wav", 22050, 2, 30000);
    const std::string out = TempPath("fx");
    const char* commands[] = {"Echo=100,50", "Reverb=50,100", "\"High-Pass Filter=250\"", "Equalizer=0,128,100,200,255,64",
                              "\"Noise Reduction=-30\"", "\"Automatic Gain Control\"",
                              "\"Dynamic Range Compressor=-20,2,3\""};
    for (const char* c : commands) {
        ASSERT_EQ(test::Run(Batch() + " -q -c " + c + " -o " + Quote(out) + " " + Quote(in)), 0) << c;
        EXPECT_EQ(FramesOf(FilePathCat(out, "tone.wav"), 2), 30000) << c;
    }
    // 1500 ms at 22050 Hz are 33075 frames, at either end.
    ASSERT_EQ(test::Run(Batch() + " -q -c \"Insert Silence At The Start=1500\" -c \"Insert Silence At The End=1500\"" +
                        " -o " + Quote(out) + " " + Quote(in)),
              0);
    EXPECT_EQ(FramesOf(FilePathCat(out, "tone.wav"), 2), 30000 + 2 * 33075);
    // Auto Trim then takes the silence off again, up to its one-block margin.
    ASSERT_EQ(test::Run(Batch() + " -q -c \"Insert Silence At The Start=1500\" -c \"Auto Trim\" -o " + Quote(out) +
                        " " + Quote(in)),
              0);
    EXPECT_NEAR(FramesOf(FilePathCat(out, "tone.wav"), 2), 30000, 2 * 256);
}

TEST(BatchEffects, OutOfRangeValuesGiveTheCheckMessageAndWriteNothing)
{
    const std::string in = Tone("short.wav", 8000, 1, 8000);
    const std::string out = TempPath("none");
    const std::string err = TempPath("err.txt");
    const std::pair<const char*, const char*> bad[] = {
        {"Echo=3000,50", "Echo time must be between 10 and 3000ms. Please try again."},
        {"Echo=800,100", "Echo Gain must be less than 100%. Please try again."},
        {"Reverb=40,100", "Reverb time must be between 50 and 1000. Please try again."},
        {"\"Noise Reduction=-41\"", "Noise Gate Level must be between -40 and 0 dB. Please try again."},
        {"\"Dynamic Range Compressor=1,2,3\"", "Threshold must be between -40 and 0 dB. Please try again."},
        {"\"Dynamic Range Compressor=-20,7,3\"", "Ratio must be one of the 7 ratios, 0 (1:1) to 6 (Limit). Please try again."},
        {"\"Dynamic Range Compressor=-20,6,13\"", "Limit must be between 0 and 12 dB. Please try again."},
        {"\"High-Pass Filter=2x\"", "High-Pass Filter: \"2x\" is not a whole number."},
        {"\"Insert Silence At The End=99999999999\"", "Silence Time must be between 0 and 3600000 ms"},
    };
    for (const auto& [command, message] : bad) {
        EXPECT_EQ(test::Run(Batch() + " -q -c " + command + " -o " + Quote(out) + " " + Quote(in) + " 2>" + Quote(err)), 2)
            << command;
        EXPECT_NE(test::ReadFileBytes(err).find(message), std::string::npos) << command;
        EXPECT_FALSE(FileExists(FilePathCat(out, "short.wav"))) << command;
    }
}

TEST(BatchEffects, ScriptDataNoDialogAcceptsStillRuns)
{
    // Commands loaded from scripts carry unchecked data: the largest values of
    // every field, at 96 kHz stereo, and a ratio that names no row (which skips
    // the command).
    LCutListAudio audio;
    {
        const std::vector<int32_t> v = test::Sine(20000, 96000, 440, 0x7FFF0, 2);
        LSoundSink sink = audio.OpenSink(96000, 2);
        sink->Write(v.data(), 20000);
    }
    test::ScriptedProgress progress;
    std::vector<uint8_t> curve(129, 255);  // 255 points claimed, all at x = y = 255
    curve[1] = 0;
    const LKVCommand commands[] = {
        {6, curve},                                 // the largest boost everywhere
        {10, {}},                                   // automatic gain control
        {7, {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF}},  // echo INT32_MAX ms, 65535 %
        {8, {0x00, 0x00, 0x00, 0x80, 0xFF, 0xFF}},  // reverb INT32_MIN ms, 65535 %
        {5, {0x00, 0x00, 0x00, 0x80}},              // high-pass at INT32_MIN Hz
        {11, {0x80}},                               // gate at -128 dB
        {15, {0x80, 9, 0x7F}},                      // no such ratio
        {15, {0x80, 6, 0x7F}},                      // the limit at -128 dB
        {1, {0xFF, 0xFF, 0xFF, 0x7F}},              // the longest silence
    };
    for (const LKVCommand& c : commands)
        EXPECT_EQ(LKVBatchCatalogue::Apply(c, audio), kJobDone) << c.index;
    EXPECT_EQ(audio.GetLength(), INT32_MAX);
}
