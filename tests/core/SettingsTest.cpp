#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/LDispatcher.h"
#include "core/LFile.h"
#include "core/LScriptedUi.h"
#include "core/LSettings.h"
#include "support/TestSupport.h"

TEST(Settings, ReadingRules)
{
    EXPECT_EQ(LSettings::IniPath(), test::HomeDir() + "/kelvane.ini");
    EXPECT_EQ(LSettings::ReadInt("Settings", "DefaultSampleRate", 44100), 44100);
    EXPECT_TRUE(LSettings::ReadBool("Settings", "PlayWhenOpen", true));

    LSettings::WriteString("Settings", "Flag", "0");
    LSettings::WriteString("Settings", "Other", "no");
    LSettings::WriteString("Settings", "Empty", "");
    LSettings::WriteString("Settings", "Number", "abc");
    LSettings::WriteString("Settings", "Leading", "  -42xyz");
    EXPECT_FALSE(LSettings::ReadBool("Settings", "Flag", true));
    EXPECT_TRUE(LSettings::ReadBool("Settings", "Other", false)) << "\"no\" reads true";
    EXPECT_TRUE(LSettings::ReadBool("Settings", "Empty", true));
    EXPECT_EQ(LSettings::ReadInt("Settings", "Empty", 7), 7);
    EXPECT_EQ(LSettings::ReadString("Settings", "Empty", "def"), "");
    EXPECT_EQ(LSettings::ReadInt("Settings", "Number", 7), 0) << "not a number reads 0";
    EXPECT_EQ(LSettings::ReadInt("Settings", "Leading", 7), -42);

    LSettings::WriteInt("StoredValues", "NoiseGateLevel", -30);
    LSettings::WriteBool("Recorder", "Autotrim", false);
    EXPECT_EQ(LSettings::ReadInt("storedvalues", "noisegatelevel", 0), -30) << "names ignore case";
    EXPECT_FALSE(LSettings::ReadBool("Recorder", "Autotrim", true));
}

TEST(Settings, ValuesSurviveTextTheFileFormatUses)
{
    std::string tricky = "C:\\Program Files\\x=y\n[Section]\r; not a comment ";
    LSettings::WriteString("Components\\oggenc", "Path", tricky);
    EXPECT_EQ(LSettings::ReadString("Components\\oggenc", "Path"), tricky);
    LSettings::WriteString("Components\\oggenc", "Other", "1");
    EXPECT_EQ(LSettings::ReadString("Components\\oggenc", "Path"), tricky);
}

TEST(Settings, OverridesWinWithoutBeingWritten)
{
    LSettings::WriteInt("RawAudio", "SampleRate", 44100);
    LSettings::SetOverride("RawAudio", "SampleRate", "8000");
    EXPECT_EQ(LSettings::ReadInt("RawAudio", "SampleRate", 0), 8000);
    LSettings::ClearOverrides();
    EXPECT_EQ(LSettings::ReadInt("RawAudio", "SampleRate", 0), 44100);
}

TEST(Settings, NamedFolders)
{
    std::string current = LSettings::GetFolder("Current");
    EXPECT_EQ(current, test::HomeDir() + "/Current");
    EXPECT_TRUE(FolderExists(current));
    EXPECT_EQ(LSettings::GetFolder(), test::HomeDir() + "/DataFiles");
    std::string mine = test::TempPath("elsewhere/deep");
    LSettings::WriteString("Folders", "Current", mine);
    EXPECT_EQ(LSettings::GetFolder("Current"), mine);
    EXPECT_TRUE(FolderExists(mine));
}

namespace {
void CrashBeforeReplace() { _exit(3); }
} // namespace

TEST(Settings, ACrashMidWriteLeavesTheOldFileWhole)
{
    LSettings::WriteInt("Settings", "A", 1);
    std::string before = test::ReadFileBytes(LSettings::IniPath());
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        LSettings::SetBeforeReplaceHookForTest(CrashBeforeReplace);
        LSettings::WriteInt("Settings", "A", 2);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(test::ReadFileBytes(LSettings::IniPath()), before);
    EXPECT_EQ(LSettings::ReadInt("Settings", "A", 0), 1);
    LSettings::WriteInt("Settings", "B", 5);
    EXPECT_EQ(LSettings::ReadInt("Settings", "A", 0), 1);
    EXPECT_EQ(LSettings::ReadInt("Settings", "B", 0), 5);
}

TEST(Settings, ConcurrentWritersFromTwoProcessesLoseNothing)
{
    pid_t child = fork();
    ASSERT_GE(child, 0);
    for (int i = 0; i < 50; ++i)
        LSettings::WriteInt(child == 0 ? "Child" : "Parent", "V" + std::to_string(i), i);
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(LSettings::ReadInt("Child", "V" + std::to_string(i), -1), i);
        EXPECT_EQ(LSettings::ReadInt("Parent", "V" + std::to_string(i), -1), i);
    }
}

TEST(Settings, AFileThatCannotBeReadIsNeverWrittenOverAndTheUserIsToldOnce)
{
    LScriptedUi ui;
    const std::string path = LSettings::IniPath();
    LSettings::WriteInt("Settings", "Kept", 1);
    const std::string head = test::ReadFileBytes(path);
    // Past the size limit (sparse: it costs no disk), the file cannot be read.
    const off_t huge = off_t(65) << 20;
    ASSERT_EQ(::truncate(path.c_str(), huge), 0);
    auto size = [&] {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? st.st_size : off_t(-1);
    };

    EXPECT_FALSE(LSettings::WriteInt("Settings", "Volume", 2));
    EXPECT_EQ(size(), huge) << "not replaced by a file of one value";
    EXPECT_EQ(LSettings::ReadInt("Settings", "Volume", 0), 2) << "held for this process";
    EXPECT_TRUE(ui.messages.empty()) << "said on the user-interface thread";
    LUiDispatcher().DrainPending();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("\"" + path + "\": File too large"), std::string::npos)
        << ui.messages[0].text;

    // A folder in the file's place: refused too, and not said again.
    ASSERT_EQ(::unlink(path.c_str()), 0);
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
    EXPECT_FALSE(LSettings::WriteInt("Settings", "Rate", 3));
    EXPECT_EQ(LSettings::ReadInt("Settings", "Rate", 0), 3);
    LUiDispatcher().DrainPending();
    EXPECT_EQ(ui.messages.size(), 1u);

    // Readable again, the next write carries what was held.
    ASSERT_EQ(::rmdir(path.c_str()), 0);
    test::WriteFileBytes(path, head);
    EXPECT_TRUE(LSettings::WriteInt("Settings", "Other", 4));
    const std::string after = test::ReadFileBytes(path);
    for (const char* line : {"Kept=1", "Volume=2", "Rate=3", "Other=4"})
        EXPECT_NE(after.find(line), std::string::npos) << line << " in\n" << after;
}
