#include <gtest/gtest.h>

#include "core/LFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

// FFmpeg is a module loaded on first use: a run that needs none of it works
// without it, and one that does fails with a reason, never silently.
TEST(BatchFFmpegModule, IsLoadedOnlyWhenNeededAndItsAbsenceIsSaid)
{
    ASSERT_TRUE(test::HaveProgram("sox"));
    const std::string alone = TempPath("alone");
    ASSERT_TRUE(CreateFolders(alone));
    const std::string program = FilePathCat(alone, "kelvane-batch");
    ASSERT_EQ(test::Run("cp " + Quote(test::BatchProgram()) + " " + Quote(program)), 0);
    const std::string pcm = TempPath("pcm.wav"), alaw = TempPath("alaw.wav");
    ASSERT_EQ(test::Run("sox -n -r 8000 -b 16 " + Quote(pcm) + " synth 0.2 sine 440"), 0);
    ASSERT_EQ(test::Run("sox -n -r 8000 -e a-law " + Quote(alaw) + " synth 0.2 sine 440"), 0);
    const std::string out = TempPath("out"), log = TempPath("log.txt");

    EXPECT_EQ(test::Run(Quote(program) + " -q -o " + Quote(out) + " " + Quote(pcm) + " 2> " + Quote(log)), 0);
    EXPECT_EQ(test::ReadFileBytes(log), "");
    EXPECT_TRUE(FileExists(FilePathCat(out, "pcm.wav")));

    EXPECT_EQ(test::Run(Quote(program) + " -q -o " + Quote(out) + " " + Quote(alaw) + " 2> " + Quote(log)), 2);
    const std::string said = test::ReadFileBytes(log);
    EXPECT_NE(said.find("the FFmpeg module kelvane-ffmpeg.so cannot be loaded (not found beside " + alone + ")"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("alaw.wav -> "), std::string::npos) << "the file's own failure line: " << said;

    // With the module beside it, the same file converts.
    ASSERT_EQ(test::Run("cp " + Quote(FilePathCat(KELVANE_BIN_DIR, "kelvane-ffmpeg.so")) + " " + Quote(alone)), 0);
    EXPECT_EQ(test::Run(Quote(program) + " -q -o " + Quote(out) + " " + Quote(alaw) + " 2> " + Quote(log)), 0)
        << test::ReadFileBytes(log);
}
