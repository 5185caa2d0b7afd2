#include <gtest/gtest.h>

#include "core/LProcess.h"
#include "support/TestSupport.h"

TEST(Process, CommandLinesSplitAndQuotedArgumentsSurvive)
{
    EXPECT_EQ(SplitCommandLine("\"/usr/bin/lame\" -m j  -b 128 \"a b.wav\""),
              (std::vector<std::string>{"/usr/bin/lame", "-m", "j", "-b", "128", "a b.wav"}));
    EXPECT_EQ(SplitCommandLine("a\\\\b \"c\\\"d\" e\\\\\\\"f"), (std::vector<std::string>{"a\\\\b", "c\"d", "e\\\"f"}));
    for (std::string name : {"plain", "with space", "quote\"inside", "back\\slash", "trailing\\", "\"", "",
                             "mixed \\\" and \\\\\" ends\\\\", "ünïcödé name.wav"}) {
        std::vector<std::string> args = SplitCommandLine("\"prog\" -o " + QuoteArgument(name) + " x");
        ASSERT_EQ(args.size(), 4u) << name;
        EXPECT_EQ(args[2], name);
    }
}

TEST(Process, RunsFeedsAndReportsExitStatus)
{
    std::string out = test::TempPath("cat-out.txt");
    LProcess cat;
    ASSERT_TRUE(cat.Start({"sh", "-c", "cat > " + test::Quote(out)}, true));
    EXPECT_EQ(cat.WriteStdin("hello", 5), 5);
    cat.CloseStdin();
    EXPECT_TRUE(cat.WaitFor(10000));
    EXPECT_EQ(cat.ExitStatus(), 0);
    EXPECT_EQ(test::ReadFileBytes(out), "hello");

    LProcess failing;
    ASSERT_TRUE(failing.Start({"sh", "-c", "exit 3"}, false));
    EXPECT_TRUE(failing.WaitFor(10000));
    EXPECT_EQ(failing.ExitStatus(), 3);

    LProcess early;  // exits without reading: writes fail instead of killing us
    ASSERT_TRUE(early.Start({"true"}, true));
    early.WaitFor(10000);
    std::string big(1 << 20, 'x');
    EXPECT_LT(early.WriteStdin(big.data(), int32_t(big.size())), int32_t(big.size()));

    LProcess missing;
    EXPECT_FALSE(missing.Start({"/no/such/program"}, false) && missing.WaitFor(10000) && missing.ExitStatus() == 0);
}
