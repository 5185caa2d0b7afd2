#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "app/KVBatchConverter.h"
#include "app/LKVScriptDocument.h"
#include "app/LKVScriptFile.h"
#include "core/LFile.h"
#include "core/LScriptedUi.h"
#include "core/LSettings.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::TempPath;

namespace {

std::string MakeWav(const std::string& name, int32_t rate = 22050, int32_t frames = 22050)
{
    return test::WriteSineWav(name, rate, 1, frames);
}

LKVCommand Parsed(const std::string& text)
{
    LKVCommand c;
    std::string error;
    EXPECT_TRUE(LKVBatchCatalogue::Parse(text, c, error)) << text << ": " << error;
    return c;
}

// Answers file dialogs from a queue.
class FileUi : public LScriptedUi {
public:
    bool FileDialog(const LUiFileRequest& request, std::string& path) override
    {
        titles.push_back(request.title);
        if (paths.empty())
            return false;
        path = paths.front();
        paths.erase(paths.begin());
        return true;
    }
    std::vector<std::string> paths, titles;
};

} // namespace

TEST(Script, FileLayoutAndDamagedFiles)
{
    std::string path = TempPath("s.kvb");
    ASSERT_TRUE(LKVScriptFile::Write(path, {}));
    EXPECT_EQ(test::ReadFileBytes(path), std::string(1, '\0'));
    std::vector<LKVCommand> read{{3, {}}};
    EXPECT_EQ(LKVScriptFile::Read(path, read), LKVScriptFile::ReadResult::Ok);
    EXPECT_TRUE(read.empty());

    std::vector<LKVCommand> list = {Parsed("Amplify=150"), {4, {}}, {25, {1, 2, 3}}, Parsed("Echo=500,40")};
    ASSERT_TRUE(LKVScriptFile::Write(path, list));
    std::string bytes = test::ReadFileBytes(path);
    EXPECT_EQ(bytes.size(), 1 + (8 + 2) + 8 + (8 + 3) + (8 + 6));
    ASSERT_EQ(LKVScriptFile::Read(path, read), LKVScriptFile::ReadResult::Ok);
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(read[2].index, 25u) << "unknown indexes are kept";
    EXPECT_EQ(read[3].data, list[3].data);

    // Truncations: complete records survive, a cut record keeps what is there.
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        test::WriteFileBytes(path, bytes.substr(0, cut));
        LKVScriptFile::Read(path, read);
        for (const LKVCommand& c : read)
            EXPECT_LE(c.data.size(), 6u);
    }
    test::WriteFileBytes(path, std::string("\0\3\0\0\0\xff\xff\xff\xff", 9));
    EXPECT_EQ(LKVScriptFile::Read(path, read), LKVScriptFile::ReadResult::Ok) << "a size past the end";
    ASSERT_EQ(read.size(), 1u);
    EXPECT_TRUE(read[0].data.empty());
    test::WriteFileBytes(path, std::string("\1", 1));
    EXPECT_EQ(LKVScriptFile::Read(path, read), LKVScriptFile::ReadResult::WrongVersion);
    EXPECT_EQ(LKVScriptFile::Read(TempPath("none.kvb"), read), LKVScriptFile::ReadResult::CannotOpen);
}

TEST(Script, ShortDataRunsWithStoredValuesAndDescriptionsFollow)
{
    LSettings::WriteInt("StoredValues", "AmplifyGain", 180);
    LKVCommand shortData{3, {0x20}};  // one byte of a two-byte field
    EXPECT_EQ(LKVBatchCatalogue::Values(shortData), std::vector<int32_t>{180});
    EXPECT_EQ(KVBatchConverter::Describe(shortData), "Amplify Gain (%) = 180");
    EXPECT_EQ(KVBatchConverter::Describe(Parsed("Amplify=150")), "Amplify Gain (%) = 150");
    EXPECT_EQ(KVBatchConverter::Describe(Parsed("Echo=500,40")), "Echo Time (ms) = 500, Echo Gain (%) = 40");
    EXPECT_EQ(KVBatchConverter::Describe(LKVCommand{6, {}}), "Click on Settings to view or change.");
    EXPECT_EQ(KVBatchConverter::Describe(LKVCommand{0, {}}), "");
    LKVCommand badRatio{15, {0xEC, 9, 3}};
    EXPECT_EQ(KVBatchConverter::Describe(badRatio), "") << "a ratio index that names no row";
    LKVCommand ratio{15, {0xEC, 2, 3}};
    EXPECT_NE(KVBatchConverter::Describe(ratio).find("Threshold (db) = -20, Ratio = "), std::string::npos);
}

TEST(BatchRun, SilenceTimesBecomeFramesAtTheListRate)
{
    test::ScriptedProgress progress;
    std::string in = MakeWav("short.wav", 22050, 1000);
    std::string out = TempPath("long.wav");
    ASSERT_EQ(KVBatchConverter::ProcessFile(in, out, {Parsed("Insert Silence At The Start=1500")}), kJobDone);
    EXPECT_EQ(LWaveFile::OpenSource(out)->GetLength(), 1000 + 33075);
}

TEST(BatchRun, StopsAtTheFirstFailureKeepingEarlierOutputs)
{
    LScriptedUi ui;
    test::ScriptedProgress progress;
    std::vector<std::string> files;
    for (int i = 0; i < 5; ++i)
        files.push_back(MakeWav("in" + std::to_string(i) + ".wav"));
    test::WriteFileBytes(files[2], "broken");
    LKVBatchOutput output;
    output.sameFolder = false;
    output.folder = TempPath("batch-out");
    output.sameFormat = false;
    output.formatIndex = 2;  // ".au"
    ASSERT_TRUE(CreateFolders(output.folder));
    EXPECT_EQ(KVBatchConverter::Run(files, {Parsed("Amplify=50")}, output), kJobFailed);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(FileExists(output.folder + "/in" + std::to_string(i) + ".au"), i < 2) << i;
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_NE(ui.messages[0].text.find("because it is corrupt"), std::string::npos);
    EXPECT_EQ(ui.messages.back().text,
              "The batch conversion stopped because \"in2.wav\" failed: 2 files of 5 converted, 1 failed, 2 files "
              "not converted.");

    output.formatIndex = 11;
    EXPECT_EQ(KVBatchConverter::Run({files[0]}, {}, output), kJobFailed) << "no such output format";

    // Same format and folder: each source is replaced by its result, once the
    // user has said so.
    LKVBatchOutput inPlace;
    std::string one = MakeWav("one.wav");
    ui.answers.push_back(LUiAnswer::Yes);
    EXPECT_EQ(KVBatchConverter::Run({one}, {Parsed("Convert Sample Rate=8000")}, inPlace), kJobDone);
    EXPECT_EQ(LWaveFile::OpenSource(one)->GetSampleRate(), 8000);
}

TEST(BatchRun, ReplacingSourcesIsAskedOnceAndEveryRunSaysHowItWent)
{
    LScriptedUi ui;
    test::ScriptedProgress progress;
    ASSERT_TRUE(CreateFolders(TempPath("real")));
    std::vector<std::string> files{MakeWav("first.wav"), MakeWav("second.wav"), MakeWav("real/third.wav")};
    const std::string link = TempPath("third-link.wav");
    ASSERT_EQ(::symlink(files[2].c_str(), link.c_str()), 0);
    files[2] = link;
    const std::string before = test::ReadFileBytes(files[0]);
    const LKVBatchOutput same;  // "Same format" and "Same folder", as preselected

    // No, the default, converts nothing.
    EXPECT_EQ(KVBatchConverter::Run(files, {}, same), kJobCancelled);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "This conversion would replace 3 original files with the converted result; the "
                                   "originals cannot be recovered.\r\n\r\nReplace them?");
    EXPECT_EQ(ui.messages[0].buttons, LUiButtons::YesNo);
    EXPECT_TRUE(ui.messages[0].defaultNo);
    EXPECT_EQ(test::ReadFileBytes(files[0]), before);

    // Yes replaces them; through a link, the file it points to is what is replaced.
    ui.answers.push_back(LUiAnswer::Yes);
    EXPECT_EQ(KVBatchConverter::Run(files, {Parsed("Convert Channel (Mono <-> Stereo)=2")}, same), kJobDone);
    EXPECT_EQ(ui.messages.back().text, "The batch conversion is done: 3 files converted, none failed.");
    EXPECT_EQ(ui.messages.size(), 3u) << "asked once";
    EXPECT_EQ(LWaveFile::OpenSource(files[0])->GetChannels(), 2);
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    EXPECT_EQ(LWaveFile::OpenSource(TempPath("real/third.wav"))->GetChannels(), 2);

    // Into another folder nothing is replaced, and nothing is asked.
    LKVBatchOutput elsewhere;
    elsewhere.sameFolder = false;
    elsewhere.folder = TempPath("elsewhere");
    ASSERT_TRUE(CreateFolders(elsewhere.folder));
    ui.messages.clear();
    EXPECT_EQ(KVBatchConverter::Run({files[0]}, {}, elsewhere), kJobDone);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The batch conversion is done: 1 file converted, none failed.");
}

TEST(BatchRun, ClashingNamesAndRefusedValuesStopTheRunBeforeAnyFile)
{
    LScriptedUi ui;
    test::ScriptedProgress progress;
    ASSERT_TRUE(CreateFolders(TempPath("a")) && CreateFolders(TempPath("b")));
    const std::string a = MakeWav("a/x.wav"), b = MakeWav("b/x.wav"), y = MakeWav("y.wav");
    LKVBatchOutput output;
    output.sameFolder = false;
    output.folder = TempPath("clash-out");
    ASSERT_TRUE(CreateFolders(output.folder));
    EXPECT_EQ(KVBatchConverter::Run({y, a, b}, {}, output), kJobFailed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.substr(0, ui.messages[0].text.find('\r')),
              a + " and " + b + " would both be saved as " + output.folder + "/x.wav");
    EXPECT_TRUE(ListFolder(output.folder).empty()) << "not even the first file";
    // The same file twice would be converted twice.
    EXPECT_EQ(KVBatchConverter::Run({y, y}, {}, output), kJobFailed);
    EXPECT_TRUE(ListFolder(output.folder).empty());

    // A command without values of its own runs with the stored ones: checked too.
    ui.messages.clear();
    LSettings::WriteInt("StoredValues", "SpSpeedPitch", 5);
    EXPECT_EQ(KVBatchConverter::Run({y}, {LKVCommand{12, {}}}, output), kJobFailed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Simple Speed and Pitch Change: the stored value (StoredValues.SpSpeedPitch) it "
                                   "would run with: Speed Change Percent must be between 10 and 300.");
    EXPECT_TRUE(ListFolder(output.folder).empty());
}

TEST(Script, DocumentAsksBeforeLosingAList)
{
    FileUi ui;
    LKVScriptDocument doc;
    EXPECT_EQ(doc.Title(), "Untitled.kvb");
    EXPECT_TRUE(doc.New()) << "nothing to keep, no question";
    EXPECT_TRUE(ui.messages.empty());
    doc.Add(3);
    ui.answers.push_back(LUiAnswer::Cancel);
    EXPECT_FALSE(doc.New());
    EXPECT_EQ(ui.messages.back().text, "Do you want to save the command list?");
    EXPECT_EQ(doc.commands.size(), 1u);

    std::string path = TempPath("recipe.kvb");
    ui.answers.push_back(LUiAnswer::Yes);
    ui.paths.push_back(path);
    EXPECT_TRUE(doc.New()) << "Yes saves the untitled list through Save As";
    EXPECT_EQ(ui.titles.back(), "Locate Batch Script File");
    EXPECT_TRUE(FileExists(path));
    EXPECT_TRUE(doc.commands.empty());

    ui.paths.push_back(path);
    ASSERT_TRUE(doc.Open());
    EXPECT_EQ(doc.commands.size(), 1u);
    EXPECT_EQ(doc.Title(), "recipe.kvb");
    EXPECT_TRUE(doc.New()) << "titled and unmodified: no question";

    // Save As onto an existing file: No asks again, Yes replaces.
    doc.Add(4);
    ui.paths = {path, path};
    ui.answers = {LUiAnswer::No, LUiAnswer::Yes};
    size_t before = ui.messages.size();
    EXPECT_TRUE(doc.SaveAs());
    EXPECT_EQ(ui.messages.size(), before + 2);
    EXPECT_EQ(ui.messages.back().text,
              "Another file with the same name already exists. Do you want to replace it?");

    test::WriteFileBytes(path, std::string("\7", 1));
    EXPECT_FALSE(doc.OpenPath(path));
    EXPECT_EQ(ui.messages.back().text, LKVScriptFile::kVersionMessage);
    EXPECT_TRUE(doc.commands.empty());
    EXPECT_EQ(doc.Title(), "Untitled.kvb") << "Save must not empty the script that could not be read";
}

TEST(BatchRun, OutputPageChecks)
{
    LScriptedUi ui;
    LKVBatchOutput o;
    o.sameFolder = false;
    EXPECT_FALSE(LKVBatchOutputFinish(o));
    EXPECT_EQ(ui.messages.back().text, "Invalid output folder. Please select a folder to save to.");
    o.folder = TempPath("new/folder");
    ui.answers.push_back(LUiAnswer::Yes);
    EXPECT_TRUE(LKVBatchOutputFinish(o));
    EXPECT_EQ(ui.messages.back().text, "The folder  \"" + o.folder + "\" does not exist. Do you want to create it now?");
    EXPECT_TRUE(FolderExists(o.folder));
    EXPECT_EQ(LKVBatchOutput::Read().folder, o.folder);
}

TEST(BatchRun, TheWizardsFlacKeepsEachSourcesRateAndChannels)
{
    test::ScriptedProgress progress;
    const std::string in = test::WriteSineWav("stereo48.wav", 48000, 2, 4800);
    LKVBatchOutput output;
    output.sameFormat = false;
    output.formatIndex = 8;  // ".flac"
    ASSERT_EQ(KVBatchConverter::Run({in}, {}, output), kJobDone);
    const std::string info = TempPath("probe.txt");
    ASSERT_EQ(test::Run("ffprobe -v error -show_entries stream=sample_rate,channels -of csv=p=0 " +
                        test::Quote(TempPath("stereo48.flac")) + " > " + test::Quote(info)),
              0);
    EXPECT_EQ(test::ReadFileBytes(info), "48000,2\n");
}
