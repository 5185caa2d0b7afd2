#include <gtest/gtest.h>

#include "core/LFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

// kelvane-batch under a file-size limit of `blocks` 512-byte blocks (dash's unit);
// its exit status, and what it said in `said`.
int BatchUnderFileLimit(int blocks, const std::string& args, std::string& said)
{
    std::string log = TempPath("limit-log.txt");
    int status = test::Run("ulimit -f " + std::to_string(blocks) + "; " + test::BatchProgram() + " " + args + " 2> " +
                           Quote(log));
    said = test::ReadFileBytes(log);
    return status;
}

} // namespace

TEST(BatchWriteFailure, AFileSizeLimitIsAFailedWriteWithTheSystemsReason)
{
    // 20 KB allowed. The source (and its 3.2 KB in the tank) fits; the saved file,
    // with five seconds of silence added, does not.
    std::string small = test::WriteSineWav("limit.wav", 8000, 1, 800);
    std::string out = TempPath("limited");
    ASSERT_TRUE(CreateFolders(out));
    std::string said;
    EXPECT_EQ(BatchUnderFileLimit(40, "-c \"Insert Silence At The End=5000\" -o " + Quote(out) + " " + Quote(small), said),
              2)
        << "not killed by SIGXFSZ: " << said;
    EXPECT_NE(said.find("Unable to create file \"" + out + "/limit.wav\" for saving.\n\nFile too large."),
              std::string::npos)
        << said;
    EXPECT_NE(said.find(": failed"), std::string::npos) << said;
    EXPECT_FALSE(FileExists(out + "/limit.wav"));
    EXPECT_EQ(test::Run("ls -A " + Quote(out) + " | grep -q ."), 1) << "no hidden temporary left";

    // A source too big for the tank fails while loading, and says why (a plain
    // copy streams past the tank: a command that needs it is given).
    std::string big = test::WriteSineWav("big.wav", 8000, 1, 16000);
    EXPECT_EQ(BatchUnderFileLimit(40, "-c \"Insert Silence At The End=10\" -o " + Quote(out) + " " + Quote(big), said),
              2)
        << said;
    EXPECT_NE(said.find("Unable to store the audio in the working folder"), std::string::npos) << said;
    EXPECT_NE(said.find("File too large."), std::string::npos) << said;
}
