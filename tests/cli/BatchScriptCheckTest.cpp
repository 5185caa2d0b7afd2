#include <gtest/gtest.h>

#include "app/LKVScriptFile.h"
#include "cli/BatchOptions.h"
#include "core/LFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

// A record as the script file stores it: index, data size, then `data` (which
// may be shorter than `size`, as in a file cut off).
std::string Record(uint32_t index, uint32_t size, const std::string& data = {})
{
    std::string r;
    for (uint32_t v : {index, size})
        for (int i = 0; i < 4; ++i)
            r += char(v >> (8 * i));
    return r + data;
}

std::string Script(const std::string& name, const std::string& records)
{
    const std::string path = TempPath(name);
    test::WriteFileBytes(path, std::string(1, '\0') + records);
    return path;
}

std::string ScriptError(const std::string& path)
{
    BatchOptions options;
    std::string error;
    return ParseBatchOptions({"-s", path, "-o", "out", "a.wav"}, options, error) ? std::string() : error;
}

const std::string kEcho800And50("\x20\x03\x00\x00\x32\x00", 6);

} // namespace

TEST(BatchScriptCheck, DamagedUnknownAndRefusedRecordsAreNamed)
{
    const std::pair<std::string, std::string> cases[] = {
        {Script("loud.kvb", Record(3, 2, "\xFF\xFF")),
         ", record 1 (Amplify): Amplify Gain must be less than 400%. Please try again."},
        {Script("cut.kvb", Record(3, 2, std::string("\x96\x00", 2)) + Record(7, 6, kEcho800And50.substr(0, 4))),
         ", record 2 (Echo): it has 6 bytes of values, but the file ends after 4"},
        {Script("head.kvb", Record(10, 0) + std::string("\x07\x00\x00", 3)),
         ", record 2: the file ends 3 bytes into its 8-byte header"},
        {Script("future.kvb", Record(10, 0) + Record(25, 0)),
         ", record 2: there is no command number 25 (0 to 18 are; --list-commands shows them)"},
        {Script("short.kvb", Record(7, 4, kEcho800And50.substr(0, 4)) + Record(10, 0)),
         ", record 1 (Echo): its 4 bytes of values are too few for the 6 it needs"},
        {Script("gain.kvb", Record(7, 6, std::string("\x20\x03\x00\x00\x64\x00", 6))),
         ", record 1 (Echo): Echo Gain must be less than 100%. Please try again."},
        {Script("curve.kvb", Record(9, 129, std::string(1, '\x01') + std::string(128, '\x80'))),
         ", record 1 (Envelope): Envelope needs 2 to 64 pairs of x and y, each from 0 to 255."},
        {Script("ratio.kvb", Record(15, 3, std::string("\xEC\x07\x03", 3))),
         ", record 1 (Dynamic Range Compressor): Ratio must be one of the 7 ratios, 0 (1:1) to 6 (Limit). "
         "Please try again."},
    };
    for (const auto& [path, message] : cases)
        EXPECT_EQ(ScriptError(path), path + message);

    // What the program itself writes passes: values of its own, none (stored
    // values), and more bytes than the layout needs.
    EXPECT_EQ(ScriptError(Script("good.kvb", Record(7, 6, kEcho800And50) + Record(3, 0) + Record(0, 4, "abcd") +
                                                  Record(3, 3, std::string("\x96\x00\x00", 3)))),
              "");
}

TEST(BatchScriptCheck, TheEditorStillLoadsDamagedScriptsAsBefore)
{
    const std::string path = Script("cut.kvb", Record(25, 0) + Record(7, 6, kEcho800And50.substr(0, 4)));
    std::vector<LKVCommand> commands;
    ASSERT_EQ(LKVScriptFile::Read(path, commands), LKVScriptFile::ReadResult::Ok);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].index, 25u);
    EXPECT_EQ(commands[1].data.size(), 4u) << "kept short: it runs with the stored values";
    LKVScriptFile::Damage damage;
    ASSERT_EQ(LKVScriptFile::Read(path, commands, &damage), LKVScriptFile::ReadResult::Ok);
    EXPECT_EQ(commands.size(), 2u);
    EXPECT_EQ(damage.record, 2u);
}

TEST(BatchScriptCheck, ARefusedScriptWritesNothing)
{
    const std::string in = test::WriteSineWav("tone.wav", 8000, 1, 4000);
    const std::string out = TempPath("refused");
    const std::string err = TempPath("err.txt");
    const std::string script = Script("loud.kvb", Record(3, 2, "\xFF\xFF"));
    EXPECT_EQ(test::Run(test::BatchProgram() + " -q -s " + Quote(script) + " --save-script " +
                        Quote(TempPath("copy.kvb")) + " -o " + Quote(out) + " " + Quote(in) + " 2>" + Quote(err)),
              2);
    EXPECT_NE(test::ReadFileBytes(err).find("loud.kvb, record 1 (Amplify): Amplify Gain must be less than 400%."),
              std::string::npos)
        << test::ReadFileBytes(err);
    EXPECT_FALSE(FileExists(FilePathCat(out, "tone.wav")));
    EXPECT_FALSE(FileExists(TempPath("copy.kvb")));
}
