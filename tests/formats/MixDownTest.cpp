// Files of more than two channels read alike through every reader: mixed down to
// stereo as the media decoder (libswresample) mixes them.
#include <gtest/gtest.h>

#include "core/LProgressDialog.h"
#include "formats/LAifFile.h"
#include "formats/LAuFile.h"
#include "formats/LMediaDecoder.h"
#include "formats/LWaveFile.h"
#include "formats/FormatTestUtil.h"
#include "support/TestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

// `path` through the media decoder, as the program decodes any file FFmpeg opens.
std::vector<int32_t> MediaDecoded(const std::string& path)
{
    std::string wav = path + ".decoded.wav";
    int32_t r = RunJob("Decode", [&](LProgressDialog& d) { return LMediaDecodeToWav(d, path, wav); });
    EXPECT_EQ(r, kJobDone) << path;
    LSoundSource s = LWaveFile::OpenSource(wav);
    EXPECT_EQ(s->GetChannels(), 2) << path;
    return test::ReadAll(s);
}

// Six channels of tones far apart in level, so a channel taken twice or dropped shows.
std::string SixChannels(const std::string& name, const std::string& soxOutput)
{
    return test::SoxMake(name, "-r 8000 -c 6 " + soxOutput,
                         "synth 0.4 sine 200 sine 310 sine 420 sine 530 sine 640 sine 750 remix "
                         "1v0.9 2v0.5 3v0.3 4v0.7 5v0.2 6v0.6");
}

} // namespace

TEST(MixDown, EveryReaderMixesAsTheMediaDecoder)
{
    struct Case {
        std::string path;
        LSoundSource (*open)(const std::string&);
        int32_t tolerance;  // stream units; 16 is one step of 16-bit output
    };
    const std::string pcm = "-e signed -b 16";
    // Four channels as quad (front and back pairs) rather than the 4.0 a bare count means.
    std::string quad = TempPath("quad.wav");
    ASSERT_EQ(test::Run("ffmpeg -v error -y -f lavfi -i \"aevalsrc=0.9*sin(2*PI*300*t)|0.5*sin(2*PI*410*t)|"
                        "0.3*sin(2*PI*520*t)|0.7*sin(2*PI*630*t):s=8000:d=0.4:c=quad\" " +
                        Quote(quad)),
              0);
    const Case cases[] = {
        {SixChannels("six-16.wav", pcm), LWaveFile::OpenSource, 32},
        {SixChannels("six-8.wav", "-e unsigned -b 8"), LWaveFile::OpenSource, 32},
        {SixChannels("six-24.wav", "-e signed -b 24"), LWaveFile::OpenSource, 32},
        {SixChannels("six-alaw.wav", "-e a-law"), LWaveFile::OpenSource, 32},
        {SixChannels("six.aiff", pcm), LAifFile::OpenSource, 32},
        {SixChannels("six.au", pcm), LAuFile::OpenSource, 32},
        {SixChannels("six-ulaw.au", "-e mu-law"), LAuFile::OpenSource, 32},
        {quad, LWaveFile::OpenSource, 32},
    };
    for (const Case& c : cases) {
        LSoundSource s = c.open(c.path);
        ASSERT_EQ(s->GetError(), kSrcGood) << c.path;
        ASSERT_EQ(s->GetChannels(), 2) << c.path;
        std::vector<int32_t> ours = test::ReadInPieces(s, {1000, 1, 333});
        std::vector<int32_t> theirs = MediaDecoded(c.path);
        ASSERT_EQ(ours.size(), theirs.size()) << c.path;
        int32_t worst = 0, loud = 0;
        for (size_t i = 0; i < ours.size(); ++i) {
            worst = std::max(worst, std::abs(ours[i] - theirs[i]));
            loud = std::max(loud, std::abs(theirs[i]));
        }
        EXPECT_LE(worst, c.tolerance) << c.path;
        EXPECT_GT(loud, 0x20000) << c.path;
    }
}
