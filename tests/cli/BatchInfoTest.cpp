#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

// --info names how each file is really coded, and says when its channels are mixed down.
TEST(BatchInfo, NamesTheCodingAndTheMixDown)
{
    struct Case {
        const char* name;
        const char* make;  // sox output options
        const char* expect;
    };
    const Case cases[] = {
        {"pcm.aiff", "-b 16", "1 channel, 0:00:00.50 (4000 frames), PCM 16-bit"},
        {"pcm.au", "-e signed -b 16", "PCM 16-bit"},
        {"ulaw.au", "-e mu-law", "mu-law"},
        {"alaw.wav", "-e a-law", "A-law"},
        {"ulaw.wav", "-e mu-law", "mu-law"},
        {"float.wav", "-e floating-point -b 32", "IEEE float 32-bit"},
        {"s24.wav", "-e signed -b 24", "PCM 24-bit"},
        {"u8.wav", "-e unsigned -b 8", "PCM 8-bit"},
        {"ima.wav", "-e ima-adpcm", "IMA ADPCM"},
        {"pcm.flac", "-b 16", "FLAC 16-bit"},
        {"six.wav", "-c 6 -b 16", "8000 Hz, 6 channels, mixed down to 2, 0:00:00.50 (4000 frames), PCM 16-bit"},
        {"six.flac", "-c 6 -b 24", "6 channels, mixed down to 2, 0:00:00.50 (4000 frames), FLAC 24-bit"},
    };
    std::string files;
    for (const Case& c : cases) {
        std::string path = TempPath(c.name);
        ASSERT_EQ(test::Run(std::string("sox -D -n -r 8000 ") + c.make + " " + Quote(path) + " synth 0.5 sine 440"),
                  0)
            << c.name;
        files += " " + Quote(path);
    }
    std::string out = TempPath("info.txt");
    ASSERT_EQ(test::Run(test::BatchProgram() + " --info" + files + " > " + Quote(out)), 0);
    std::string text = test::ReadFileBytes(out);
    for (const Case& c : cases) {
        size_t at = text.find(TempPath(c.name) + ": ");
        ASSERT_NE(at, std::string::npos) << c.name << "\n" << text;
        std::string line = text.substr(at, text.find('\n', at) - at);
        EXPECT_NE(line.find(c.expect), std::string::npos) << line;
        EXPECT_EQ(line.find("compressed"), std::string::npos) << line;
    }
}
