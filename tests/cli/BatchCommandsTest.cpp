#include <gtest/gtest.h>

#include "app/LKVBatchCatalogue.h"
#include "core/LFile.h"
#include "core/LSettings.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

std::string Batch() { return test::BatchProgram(); }

std::string MakeWav(const std::string& name, int32_t rate, uint8_t channels, int32_t frames)
{
    return test::WriteSineWav(name, rate, channels, frames);
}

std::vector<int32_t> ReadWav(const std::string& path) { return test::ReadAll(LWaveFile::OpenSource(path)); }

} // namespace

TEST(BatchCatalogue, TableLayoutsAndParsing)
{
    ASSERT_EQ(LKVBatchCatalogue::Entries().size(), 19u);
    for (uint32_t i = 0; i < 19; ++i)
        EXPECT_EQ(LKVBatchCatalogue::Entries()[i].index, i);
    EXPECT_EQ(LKVBatchCatalogue::Find(9)->DataSize(), 129u);
    EXPECT_EQ(LKVBatchCatalogue::Find(7)->DataSize(), 6u);
    EXPECT_EQ(LKVBatchCatalogue::Find(19), nullptr);
    EXPECT_EQ(LKVBatchCatalogue::FindByName("convert channel (mono <-> stereo)")->index, 17u);

    LKVCommand c;
    std::string e;
    ASSERT_TRUE(LKVBatchCatalogue::Parse("Echo=800,50", c, e)) << e;
    EXPECT_EQ(c.index, 7u);
    EXPECT_EQ(c.data, (std::vector<uint8_t>{0x20, 0x03, 0, 0, 50, 0}));
    ASSERT_TRUE(LKVBatchCatalogue::Parse("Dynamic Range Compressor=-20,3,12", c, e)) << e;
    EXPECT_EQ(c.data, (std::vector<uint8_t>{0xEC, 3, 0x0C}));
    EXPECT_EQ(LKVBatchCatalogue::Values(c), (std::vector<int32_t>{-20, 3, 12}));
    ASSERT_TRUE(LKVBatchCatalogue::Parse("Envelope=0,0,255,128", c, e)) << e;
    EXPECT_EQ(c.data.size(), 129u);
    EXPECT_EQ(LKVBatchCatalogue::Curve(c), PointList::Of({{0, 0}, {255, 128}}));

    // Without data, or with less than the layout, the stored values (batch defaults) apply.
    ASSERT_TRUE(LKVBatchCatalogue::Parse("Constant Speed and Pitch Change", c, e));
    EXPECT_EQ(LKVBatchCatalogue::Values(c), (std::vector<int32_t>{100}));
    EXPECT_EQ(LKVBatchCatalogue::Values(LKVCommand{7, {0x20, 0x03, 0, 0, 50}}), (std::vector<int32_t>{800, 50}));
    LSettings::WriteInt("StoredValues", "EchoGain", 20);
    EXPECT_EQ(LKVBatchCatalogue::Values(LKVCommand{7, {}}), (std::vector<int32_t>{800, 20}));
    EXPECT_EQ(LKVBatchCatalogue::Values(LKVCommand{15, {}}), (std::vector<int32_t>{-20, 0, 3}));

    // Bad values give the settings dialog's message, in the dialog's order.
    const std::pair<const char*, const char*> bad[] = {
        {"Amplify=401", "Amplify Gain must be less than 400%. Please try again."},
        {"Amplify=-1", "Amplify Gain must be between 0 and 400%. Please try again."},
        {"Amplify=1.5", "Amplify: \"1.5\" is not a whole number."},
        {"Amplify=abc", "Amplify: \"abc\" is not a whole number."},
        {"Amplify=99999999999999999999999", "Amplify Gain must be less than 400%. Please try again."},
        {"Normalize=101", "Normailze Peak Level must be less than 100%. Please try again."},
        {"Simple Speed and Pitch Change=301", "Speed Change Percent must be less than 300."},
        {"Constant Pitch and Speed Change=", "Constant Pitch and Speed Change needs a whole number after \"=\"."},
        {"Echo=3000,100", "Echo time must be between 10 and 3000ms. Please try again."},
        {"Echo=800,x", "Echo: \"x\" is not a whole number."},
        {"Echo=800,", "Echo: value 2 is missing; a whole number is needed."},
        {"Reverb=2000,101", "Reverb level must be less than 100. Please try again."},
    };
    for (const auto& [text, message] : bad) {
        EXPECT_FALSE(LKVBatchCatalogue::Parse(text, c, e)) << text;
        EXPECT_EQ(e, message) << text;
    }
    EXPECT_FALSE(LKVBatchCatalogue::Parse("Envelope=0,0,255", c, e));
    EXPECT_FALSE(LKVBatchCatalogue::Parse("Envelope=0,0,256,0", c, e));
    EXPECT_FALSE(LKVBatchCatalogue::Parse("Noise Reduction=200", c, e));
    EXPECT_FALSE(LKVBatchCatalogue::Parse("Auto Trim=1", c, e));
    EXPECT_FALSE(LKVBatchCatalogue::Parse("Louder=2", c, e));
}

TEST(BatchCommands, AppliedInOrderToTheWholeFile)
{
    const std::string in = MakeWav("tone.wav", 22050, 2, 44100);
    const std::string out = TempPath("out");
    ASSERT_EQ(test::Run(Batch() + " -q -c Amplify=200 -c \"Constant Pitch and Speed Change=200\" -o " + Quote(out) +
                        " " + Quote(in)),
              0);
    std::vector<int32_t> src = ReadWav(in), dst = ReadWav(FilePathCat(out, "tone.wav"));
    EXPECT_NEAR(double(dst.size()) / 2, 22050, 22050 / 90);
    int32_t peakIn = 0, peakOut = 0;
    for (int32_t v : src)
        peakIn = std::max(peakIn, std::abs(v));
    for (int32_t v : dst)
        peakOut = std::max(peakOut, std::abs(v));
    EXPECT_NEAR(double(peakOut) / peakIn, 2.0, 0.02);
}

TEST(BatchCommands, BadValuesWriteNothing)
{
    const std::string in = MakeWav("tone.wav", 8000, 1, 8000);
    const std::string out = TempPath("refused");
    const std::string err = TempPath("err.txt");
    EXPECT_EQ(test::Run(Batch() + " -q -c Amplify=500 -o " + Quote(out) + " " + Quote(in) + " 2>" + Quote(err)), 2);
    EXPECT_NE(test::ReadFileBytes(err).find("Amplify Gain must be less than 400%. Please try again."),
              std::string::npos);
    EXPECT_EQ(test::Run(Batch() + " -q -c \"Constant Speed and Pitch Change=abc\" -o " + Quote(out) + " " + Quote(in) +
                        " 2>" + Quote(err)),
              2);
    EXPECT_NE(test::ReadFileBytes(err).find("Constant Speed and Pitch Change: \"abc\" is not a whole number."),
              std::string::npos);
    EXPECT_FALSE(FileExists(FilePathCat(out, "tone.wav")));
    // A conversion the converters cannot make is refused before anything is saved.
    EXPECT_EQ(test::Run(Batch() + " -q -c \"Convert Sample Rate=5\" -o " + Quote(out) + " " + Quote(in) + " 2>" +
                        Quote(err)),
              2);
    EXPECT_NE(test::ReadFileBytes(err).find("Please enter a sample rate between 6000 and 196000."), std::string::npos);
    EXPECT_FALSE(FileExists(FilePathCat(out, "tone.wav")));
}
