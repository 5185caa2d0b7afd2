#include <gtest/gtest.h>

#include <string>

#include "core/LFile.h"
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

namespace {

// The frames --info reports for `path`; -1 when it reports none.
int64_t InfoFrames(const std::string& path)
{
    const std::string out = TempPath("info-one.txt");
    if (test::Run(test::BatchProgram() + " --info " + Quote(path) + " > " + Quote(out)) != 0)
        return -1;
    const std::string text = test::ReadFileBytes(out);
    const size_t at = text.rfind(" frames)");
    const size_t open = text.rfind('(', at);
    return at == std::string::npos || open == std::string::npos ? -1 : std::stoll(text.substr(open + 1, at - open - 1));
}

// The frames of the 16-bit WAV a conversion of `path` writes.
int64_t ConvertedFrames(const std::string& path, int32_t channels)
{
    const std::string folder = TempPath("converted");
    if (test::Run(test::BatchProgram() + " -q -f wav -o " + Quote(folder) + " " + Quote(path)) != 0)
        return -1;
    const std::string name = path.substr(path.rfind('/') + 1);
    const std::string wav = folder + "/" + name.substr(0, name.rfind('.')) + ".wav";
    return (int64_t(test::ReadFileBytes(wav).size()) - 46) / (2 * channels);
}

} // namespace

// --info gives the length a conversion gives, also where a header's numbers are wrong.
TEST(BatchInfo, TheLengthIsTheConvertedLength)
{
    const std::string tone = TempPath("tone.wav");
    ASSERT_EQ(test::Run("sox -D -n -r 44100 -c 2 -b 16 " + Quote(tone) + " synth 3 sine 440"), 0);
    // MP3 inside a WAV whose byte rate says 0.
    const std::string mp3wav = TempPath("mp3in.wav");
    ASSERT_EQ(test::Run("ffmpeg -v error -y -i " + Quote(tone) + " -c:a libmp3lame -b:a 128k " + Quote(mp3wav)), 0);
    std::string bytes = test::ReadFileBytes(mp3wav);
    const size_t fmt = bytes.find("fmt ");
    ASSERT_NE(fmt, std::string::npos);
    bytes.replace(fmt + 8 + 8, 4, std::string(4, '\0'));
    test::WriteFileBytes(mp3wav, bytes);
    // An MP3 cut to 1000 bytes, whose information frame still promises three seconds.
    const std::string mp3 = TempPath("full.mp3"), cut = TempPath("cut.mp3");
    ASSERT_EQ(test::Run("lame --quiet -b 128 " + Quote(tone) + " " + Quote(mp3)), 0);
    test::WriteFileBytes(cut, test::ReadFileBytes(mp3).substr(0, 1000));
    for (const std::string& path : {mp3wav, cut, mp3}) {
        const int64_t converted = ConvertedFrames(path, 2);
        ASSERT_GT(converted, 0) << path;
        EXPECT_EQ(InfoFrames(path), converted) << path;
    }
}

// A line is never cut, and a name's control characters cannot break it.
TEST(BatchInfo, LongAndStrangeNamesStayOneWholeLine)
{
    std::string folder = TempPath("");
    for (int i = 0; i < 3; ++i)
        folder += std::string(200, char('a' + i)) + "/";
    ASSERT_TRUE(CreateFolders(folder));
    const std::string names[] = {folder + "long.wav", TempPath("new\nline\x1b[31m.wav")};
    for (const std::string& path : names)
        ASSERT_EQ(test::Run("sox -D -n -r 8000 -b 16 " + Quote(path) + " synth 0.5 sine 440"), 0);
    const std::string out = TempPath("strange.txt"), err = TempPath("strange.err");
    ASSERT_EQ(test::Run(test::BatchProgram() + " --info " + Quote(names[0]) + " " + Quote(names[1]) + " > " +
                        Quote(out)),
              0);
    const std::string text = test::ReadFileBytes(out);
    EXPECT_NE(text.find(names[0] + ": 8000 Hz, 1 channel, 0:00:00.50 (4000 frames), PCM 16-bit\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find(TempPath("new\\nline\\x1b[31m.wav") + ": 8000 Hz"), std::string::npos) << text;
    EXPECT_EQ(text.find('\x1b'), std::string::npos);
    // The conversion's own lines name it the same way.
    ASSERT_EQ(test::Run(test::BatchProgram() + " -o " + Quote(TempPath("strange-out")) + " " + Quote(names[1]) +
                        " 2> " + Quote(err)),
              0);
    const std::string said = test::ReadFileBytes(err);
    EXPECT_NE(said.find("new\\nline\\x1b[31m.wav -> "), std::string::npos) << said;
    EXPECT_EQ(said.find('\x1b'), std::string::npos) << said;
}
