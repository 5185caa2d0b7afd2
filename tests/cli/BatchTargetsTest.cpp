// Where kelvane-batch writes: one output name per source, the file behind a
// link for --in-place, and raw output in the source's own rate and channels.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "core/LFile.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

int Batch(const std::string& args, std::string& said)
{
    const std::string log = TempPath("targets.txt");
    const int status = test::Run(test::BatchProgram() + " -q " + args + " 2> " + Quote(log));
    said = test::ReadFileBytes(log);
    return status;
}

} // namespace

TEST(BatchTargets, TwoSourcesForOneOutputNameAreRefusedBeforeAnythingIsWritten)
{
    ASSERT_TRUE(CreateFolders(TempPath("a")) && CreateFolders(TempPath("b")));
    const std::string a = test::WriteSineWav("a/x.wav", 8000, 1, 800);
    const std::string b = test::WriteSineWav("b/x.wav", 8000, 1, 900);
    const std::string y = test::WriteSineWav("y.wav", 8000, 1, 700);
    const std::string yaiff = TempPath("y.aiff");
    ASSERT_EQ(test::Run("sox " + Quote(y) + " " + Quote(yaiff)), 0);
    const std::string out = TempPath("clash-out");
    std::string said;
    for (const std::string jobs : {"", "-j 2 "}) {
        EXPECT_EQ(Batch(jobs + "-o " + Quote(out) + " " + Quote(a) + " " + Quote(b), said), 2);
        EXPECT_NE(said.find(a + " and " + b + " would both be saved as " + out + "/x.wav"), std::string::npos) << said;
        EXPECT_EQ(Batch(jobs + "-f wav -o " + Quote(out) + " " + Quote(yaiff) + " " + Quote(y), said), 2);
        EXPECT_NE(said.find(yaiff + " and " + y + " would both be saved as " + out + "/y.wav"), std::string::npos)
            << said;
    }
    // In place with a new type, y.aiff would become the other source y.wav,
    // however its folder is spelt.
    const std::string before = test::ReadFileBytes(y);
    const std::string spelt = TempPath("a/../y.aiff");
    EXPECT_EQ(Batch("--in-place -f wav " + Quote(spelt) + " " + Quote(y), said), 2);
    EXPECT_NE(said.find(spelt + " and " + y + " would both be saved as " + TempPath("a/../y.wav")), std::string::npos)
        << said;
    EXPECT_EQ(test::ReadFileBytes(y), before);
    EXPECT_EQ(ListFolder(out), std::vector<std::string>{});
    // A line break in a name is shown as text, not as a second line.
    const std::string broken1 = test::WriteSineWav("a/n\nl.wav", 8000, 1, 600);
    const std::string broken2 = test::WriteSineWav("b/n\nl.wav", 8000, 1, 600);
    EXPECT_EQ(Batch("-o " + Quote(out) + " " + Quote(broken1) + " " + Quote(broken2), said), 2);
    EXPECT_NE(said.find(TempPath("a/n\\nl.wav") + " and " + TempPath("b/n\\nl.wav") + " would both be saved as " +
                        out + "/n\\nl.wav\n"),
              std::string::npos)
        << said;
    // Names differing only in case are different files here.
    const std::string upper = test::WriteSineWav("b/X.wav", 8000, 1, 600);
    EXPECT_EQ(Batch("-o " + Quote(out) + " " + Quote(a) + " " + Quote(upper), said), 0) << said;
}

TEST(BatchTargets, InPlaceOnALinkConvertsTheFileItPointsTo)
{
    ASSERT_TRUE(CreateFolders(TempPath("real")));
    const std::string real = test::WriteSineWav("real/song.wav", 8000, 2, 4000);
    const std::string link = TempPath("song-link.wav");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    std::string said;
    ASSERT_EQ(Batch("--in-place --channels 1 " + Quote(link), said), 0) << said;
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    EXPECT_EQ(LWaveFile::OpenSource(real)->GetChannels(), 1) << "the file it points to got the result";
    EXPECT_EQ(LWaveFile::OpenSource(real)->GetLength(), 4000);
    EXPECT_EQ(ListFolder(TempPath("real")), std::vector<std::string>{"song.wav"}) << "no temporary left";
}

TEST(BatchTargets, RawOutputKeepsTheSourcesRateAndChannelsUnlessSet)
{
    const std::string in = test::WriteSineWav("wide.wav", 22050, 2, 5000);
    const std::string out = TempPath("keep-raw-out");
    std::string said;
    ASSERT_EQ(Batch("-f raw -o " + Quote(out) + " " + Quote(in), said), 0) << said;
    // 16-bit little-endian PCM (the stored coding) of the very samples.
    const std::string pcm = TempPath("wide.s16");
    ASSERT_EQ(test::Run("sox " + Quote(in) + " -t raw -e signed -b 16 -L " + Quote(pcm)), 0);
    EXPECT_EQ(test::ReadFileBytes(out + "/wide.raw"), test::ReadFileBytes(pcm));
    ASSERT_EQ(Batch("-f raw --set RawAudio.SampleRate=11025 --set RawAudio.Channels=1 --set RawAudio.Codec=1 -o " +
                        Quote(out) + " " + Quote(in),
                    said),
              0)
        << said;
    EXPECT_EQ(test::ReadFileBytes(out + "/wide.raw").size(), 2500u) << "11025 Hz mono mu-law: one byte a frame";
}
