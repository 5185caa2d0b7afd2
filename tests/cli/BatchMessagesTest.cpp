#include <gtest/gtest.h>

#include "cli/BatchOptions.h"
#include "core/LFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

std::string ParseError(const std::vector<std::string>& args)
{
    BatchOptions options;
    std::string error;
    return ParseBatchOptions(args, options, error) ? std::string() : error;
}

// The bit rate in kbit/s of the first MPEG-1 Layer III frame in `bytes`, or 0.
int32_t FirstFrameKbps(const std::string& bytes)
{
    static const int32_t kKbps[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    for (size_t i = 0; i + 2 < bytes.size(); ++i)
        if (uint8_t(bytes[i]) == 0xFF && (uint8_t(bytes[i + 1]) & 0xFE) == 0xFA)
            return kKbps[uint8_t(bytes[i + 2]) >> 4];
    return 0;
}

} // namespace

TEST(BatchMessages, SetRefusesWhatNoReaderWouldTake)
{
    const std::vector<std::string> tail = {"-o", "out", "a.wav"};
    auto set = [&](const std::string& text) {
        std::vector<std::string> args{"--set", text};
        args.insert(args.end(), tail.begin(), tail.end());
        return ParseError(args);
    };
    EXPECT_EQ(set("RawAudio.SampleRate=8000"), "");
    EXPECT_EQ(set("mp3encoder.cbrbitrate=192"), "") << "names match ignoring case, as the store does";
    EXPECT_EQ(set("MP3Encoder.ConstantBitRate=1"), "");
    EXPECT_EQ(set("Folders.AppData=/tmp/x"), "");
    EXPECT_EQ(set("Components\\oggenc.Path=/usr/local/bin/oggenc"), "");
    EXPECT_EQ(set("Settings.WorkingFolder="), "") << "a text may be empty";

    std::string e = set("MP3Encodr.CBRBitRate=192");
    EXPECT_NE(e.find("there is no settings section \"MP3Encodr\""), std::string::npos) << e;
    EXPECT_NE(e.find("MP3Encoder"), std::string::npos) << "the sections are listed: " << e;
    e = set("MP3Encoder.BitRate=192");
    EXPECT_NE(e.find("section MP3Encoder has no value \"BitRate\""), std::string::npos) << e;
    EXPECT_NE(e.find("CBRBitRate"), std::string::npos) << "its values are listed: " << e;
    e = set("MP3Encoder.CBRBitRate=192k");
    EXPECT_NE(e.find("wants a whole number, not \"192k\""), std::string::npos) << e;
    EXPECT_NE(set("RawAudio.SampleRate="), "");
    EXPECT_NE(set("MP3Encoder.ConstantBitRate=yes"), "");
    EXPECT_NE(set("Components\\oggenc.Program=/x"), "");
}

TEST(BatchMessages, TheReadmesConstantBitRateExampleTakesEffect)
{
    const std::string in = test::WriteSineWav("cbr.wav", 44100, 2, 44100);
    const std::string out = TempPath("cbr");
    const std::string readme = test::ReadFileBytes(KELVANE_SOURCE_DIR "/README.md");
    const std::string example = "--set MP3Encoder.ConstantBitRate=1 --set MP3Encoder.CBRBitRate=192";
    ASSERT_NE(readme.find(example), std::string::npos);
    ASSERT_EQ(test::Run(test::BatchProgram() + " -q -f mp3 " + example + " -o " + Quote(out) + " " + Quote(in)), 0);
    EXPECT_EQ(FirstFrameKbps(test::ReadFileBytes(FilePathCat(out, "cbr.mp3"))), 192);
}
