#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "app/LKVBookMark.h"
#include "app/MainDialog.h"
#include "AppTestSupport.h"
#include "core/LFile.h"

using apptest::App;
using apptest::RampValues;

TEST(BookMarkFile, BesideTheFileWithItsRules)
{
    EXPECT_EQ(LKVBookMarkFilePath("/m/take.wav"), "/m/take.kbm");
    EXPECT_EQ(LKVBookMarkFilePath("/m.d/take"), "/m.d/take.kbm");

    const std::string audio = test::TempPath("take.wav");
    LKVBookMarkList list = {{"one", audio, 1500, 3, 1000000}, {"other", "/else.wav", 0, 1, 0}};
    ASSERT_EQ(LKVWriteBookMarkFile(audio, list), LKVBookMarkWrite::Written);
    const std::string f = test::ReadFileBytes(test::TempPath("take.kbm"));
    ASSERT_EQ(f.size(), 2 + 529u) << "only this file's bookmarks";
    EXPECT_EQ(f[0], 0);
    EXPECT_EQ(f[1], 1);
    const auto* p = reinterpret_cast<const uint8_t*>(f.data()) + 2;
    EXPECT_EQ(GetLE32(p + 520), 1500u);
    EXPECT_EQ(p[524], 3);
    EXPECT_EQ(GetLE32(p + 525), 1000000u);

    // Read back: filed under the file as it is now, and not added twice.
    LKVBookMarkList read = {{"one", test::TempPath("moved.wav"), 0, 9, 0}};
    ::rename(test::TempPath("take.kbm").c_str(), test::TempPath("moved.kbm").c_str());
    ASSERT_EQ(LKVReadBookMarkFile(test::TempPath("moved.wav"), read), LKVBookMarkRead::Loaded);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].timesVisited, 9) << "the bookmark in memory is kept";
    LKVBookMarkList fresh;
    ASSERT_EQ(LKVReadBookMarkFile(test::TempPath("moved.wav"), fresh), LKVBookMarkRead::Loaded);
    EXPECT_EQ(fresh[0].path, test::TempPath("moved.wav"));
    EXPECT_EQ(fresh[0].positionMs, 1500u);

    // No bookmarks for this file: a file with count 0; no bookmarks at all: no file.
    ASSERT_EQ(LKVWriteBookMarkFile(test::TempPath("none.wav"), list), LKVBookMarkWrite::Written);
    EXPECT_EQ(test::ReadFileBytes(test::TempPath("none.kbm")), std::string("\0\0", 2));
    ASSERT_EQ(LKVWriteBookMarkFile(test::TempPath("none.wav"), {}), LKVBookMarkWrite::Deleted);
    EXPECT_FALSE(FileExists(test::TempPath("none.kbm")));
    EXPECT_EQ(LKVReadBookMarkFile(test::TempPath("none.wav"), fresh), LKVBookMarkRead::Missing);

    // A wrong version or a short record adds nothing.
    for (const std::string& bad : {std::string("\1\0", 2), std::string("\0\2", 2) + std::string(529, 'x')}) {
        test::WriteFileBytes(test::TempPath("bad.kbm"), bad);
        LKVBookMarkList none;
        EXPECT_EQ(LKVReadBookMarkFile(test::TempPath("bad.wav"), none), LKVBookMarkRead::Corrupt);
        EXPECT_TRUE(none.empty());
    }
    // More than 255 for one file cannot be written; the old file stays.
    LKVBookMarkList many(256, LKVBookMark{"x", audio, 0, 0, 0});
    EXPECT_EQ(LKVWriteBookMarkFile(audio, many), LKVBookMarkWrite::TooMany);
}

TEST(BookMarkFile, ALinkPlantedBesideItIsNeverWrittenThrough)
{
    // Projects, bookmark files and key macros share one writer: a link planted
    // under the temporary name it once used must not receive the file.
    const std::string audio = test::TempPath("linked.wav"), victim = test::TempPath("victim.txt");
    test::WriteFileBytes(victim, "keep me");
    const std::string guess = test::TempPath(".kelvane-" + std::to_string(::getpid()) + "-linked.kbm");
    ASSERT_EQ(::symlink(victim.c_str(), guess.c_str()), 0);
    ASSERT_EQ(LKVWriteBookMarkFile(audio, {{"one", audio, 1500, 3, 0}}), LKVBookMarkWrite::Written);
    EXPECT_EQ(test::ReadFileBytes(victim), "keep me");
    EXPECT_EQ(test::ReadFileBytes(test::TempPath("linked.kbm")).size(), 2 + 529u);
}

TEST(Bookmarks, AddGoToRenameDelete)
{
    App app;
    LKVFile* a = app.OpenRamp("a.wav", 80000);
    app.main.SetSelection(0, 0, 12345);  // 1.543 s at 8000 Hz
    app.ui.texts = {"x", std::string(260, 'n'), "x", "x"};
    ASSERT_TRUE(app.main.CmSetBookmark());
    EXPECT_EQ(app.ui.textRequests[0], (std::pair<std::string, std::string>{"Enter Bookmark Name", "a.wav@0:00:01.54"}));
    EXPECT_TRUE(a->modified);

    // A name in use asks; No asks for another name, Yes replaces.
    app.main.SetSelection(0, 0, 40000);
    app.ui.Answer({LUiAnswer::No, LUiAnswer::Yes});
    ASSERT_TRUE(app.main.CmSetBookmark());
    EXPECT_EQ(app.ui.Texts()[0], "This name is too long. A name can hold at most 259 bytes.");
    EXPECT_EQ(app.ui.Texts()[1], "This bookmark name already exist. Do you want to replace it?");
    EXPECT_EQ(app.ui.messages[1].caption, "BookMark Exist");
    ASSERT_EQ(app.main.BookMarks().size(), 1u);
    const LKVBookMark& b = app.main.BookMarks()[0];
    EXPECT_EQ(b.positionMs, 5000u);
    EXPECT_EQ(b.timesVisited, 1);
    EXPECT_GT(b.lastVisited, 0u);
    EXPECT_EQ(b.path, a->path);

    // Go To activates the file, counts the visit and moves there.
    LKVFile* other = app.OpenRamp("b.wav", 10);
    app.main.GoToBookmark(0);
    EXPECT_EQ(app.main.CurrentFile(), a);
    EXPECT_EQ(a->pos, (LKVFile::Positions{40000, 40000, 40000, 0, 80000}));
    EXPECT_EQ(app.main.BookMarks()[0].timesVisited, 2);
    // With "PlayBookMark" it plays from there instead.
    LSettings::WriteBool("Settings", "PlayBookMark", true);
    app.main.SetSelection(0, 0, 0);
    app.main.GoToBookmark(0);
    EXPECT_EQ(a->pos.cursor, 0);
    ASSERT_FALSE(app.player.plays.empty());
    EXPECT_EQ(app.player.plays.back().from, 40000);
    // A bookmark whose file is not open only counts the visit.
    app.main.SetCurrentFile(other);
    app.ui.Answer({LUiAnswer::No});
    ASSERT_TRUE(app.main.CloseFile(*a));
    const size_t plays = app.player.plays.size();
    app.main.GoToBookmark(0);
    EXPECT_EQ(app.main.BookMarks()[0].timesVisited, 4);
    EXPECT_EQ(app.main.CurrentFile(), other);
    EXPECT_EQ(app.player.plays.size(), plays);

    app.ui.texts = {"y"};
    ASSERT_TRUE(app.main.RenameBookmark(0));
    EXPECT_EQ(app.ui.textRequests.back().first, "Rename Bookmark");
    EXPECT_EQ(app.main.BookMarks()[0].name, "y");
    app.ui.messages.clear();
    EXPECT_FALSE(app.main.DeleteBookmarks({0})) << "No keeps them";
    EXPECT_EQ(app.ui.Texts().back(), "Delete the selected bookmark(s)?");
    EXPECT_EQ(app.ui.messages.back().caption, "Confirm Delete");
    app.ui.Answer({LUiAnswer::Yes});
    EXPECT_TRUE(app.main.DeleteAllBookmarks());
    EXPECT_EQ(app.ui.Texts().back(), "Delete all selected bookmark(s)?");
    EXPECT_EQ(app.ui.messages.back().caption, "Confirm Delete All");
    EXPECT_TRUE(app.main.BookMarks().empty());
}

TEST(Regions, AddNamesAndTheReplaceQuestion)
{
    App app;
    app.OpenRamp("take.wav", 16000);
    EXPECT_FALSE(app.main.CmAddRegion()) << "no selection";
    app.main.SetSelection(8000, 12000, 8000);
    app.ui.texts = {"r"};
    ASSERT_TRUE(app.main.CmAddRegion());
    EXPECT_EQ(app.ui.textRequests[0].second, "take@0:00:01.00-0:00:01.50");
    const LKVRegion& r = app.main.Regions()[0];
    EXPECT_EQ(r.startMs, 1000u);
    EXPECT_EQ(r.endMs, 1500u);
    EXPECT_EQ(r.RangeText(), "0:00:01.00-0:00:01.50");
    EXPECT_EQ(r.FileText(), "take.wav");
    EXPECT_EQ(test::Frames(r.audio), RampValues(4000, 1, 8000));

    // Same name: No asks for another, Cancel abandons, Yes replaces in place.
    app.main.SetSelection(0, 10, 0);
    app.ui.texts = {"r", "s"};
    app.ui.Answer({LUiAnswer::No});
    ASSERT_TRUE(app.main.CmAddRegion());
    EXPECT_EQ(app.ui.Texts().back(), "Another region with the same name already exists. Do you want to replace it?");
    ASSERT_EQ(app.main.Regions().size(), 2u);
    app.ui.texts = {"r"};
    app.ui.Answer({LUiAnswer::Cancel});
    EXPECT_FALSE(app.main.CmAddRegion());
    app.ui.texts = {"r"};
    app.ui.Answer({LUiAnswer::Yes});
    ASSERT_TRUE(app.main.CmAddRegion());
    ASSERT_EQ(app.main.Regions().size(), 2u);
    EXPECT_EQ(app.main.Regions()[0].audio.GetLength(), 10);

    app.ui.texts = {"s"};
    app.ui.Answer({LUiAnswer::Yes});
    ASSERT_TRUE(app.main.RenameRegion(0));
    ASSERT_EQ(app.main.Regions().size(), 1u) << "the region holding the name went";
    EXPECT_EQ(app.main.Regions()[0].name, "s");
    app.ui.Answer({LUiAnswer::Yes});
    EXPECT_TRUE(app.main.DeleteRegions({0, 0, 7}));
    EXPECT_EQ(app.ui.Texts().back(), "Delete the selected region(s)?");
    EXPECT_TRUE(app.main.Regions().empty());
}

TEST(Regions, AssembleWithGapsAndConversion)
{
    App app;
    app.OpenRamp("a.wav", 100, 8000, 1);
    app.main.SetSelection(0, 100, 0);
    app.ui.texts = {"one"};
    ASSERT_TRUE(app.main.CmAddRegion());
    app.OpenRamp("b.wav", 16000, 16000, 2);
    app.main.SetSelection(0, 16000, 0);
    app.ui.texts = {"two"};
    ASSERT_TRUE(app.main.CmAddRegion());

    LSettings::WriteInt("Settings", "AutoGapTime", 250);
    app.ui.orders = {{0, 1, 0}};
    LKVFile* joined = app.main.CmAssembleRegions();
    ASSERT_NE(joined, nullptr);
    EXPECT_EQ(app.ui.assembleNames, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(joined->audio.sampleRate, 8000);
    EXPECT_EQ(joined->audio.channels, 1);
    EXPECT_EQ(joined->audio.GetLength(), 100 + 2000 + 8000 + 2000 + 100);
    EXPECT_TRUE(joined->modified);
    EXPECT_EQ(app.progress.titles.back(), "Insert File");
    const std::vector<int32_t> frames = test::Frames(joined->audio);
    EXPECT_EQ(std::vector<int32_t>(frames.begin(), frames.begin() + 100), RampValues(100));
    EXPECT_EQ(frames[100], 0);
    EXPECT_EQ(frames[2099], 0);

    LSettings::WriteBool("Settings", "AutoGap", false);
    LKVFile* tight = app.main.AssembleRegions({0, 0});
    EXPECT_EQ(test::Frames(tight->audio), [] {
        auto v = RampValues(100);
        auto w = v;
        v.insert(v.end(), w.begin(), w.end());
        return v;
    }());
    EXPECT_EQ(app.main.AssembleRegions({0, 5}), nullptr);
    LKVFile* copy = app.main.CopyRegionToNew(0);
    EXPECT_EQ(test::Frames(copy->audio), RampValues(100));
}

TEST(Regions, SaveAndExportByName)
{
    App app;
    app.OpenRamp("a.wav", 100);
    app.main.SetSelection(0, 50, 0);
    for (const char* name : {"good", "bad/name"}) {
        app.ui.texts = {name};
        ASSERT_TRUE(app.main.CmAddRegion());
        app.main.SetSelection(50, 100, 50);
    }
    app.ui.paths = {test::TempPath("single.wav")};
    ASSERT_TRUE(app.main.SaveRegion(0));
    EXPECT_EQ(app.ui.fileRequests.back().title, "Save Region As");
    EXPECT_EQ(app.ui.fileRequests.back().fileName, "good");
    EXPECT_EQ(app.progress.titles.back(), "Saving...");

    const std::string out = test::TempPath("out");
    ASSERT_TRUE(CreateFolders(out));
    test::WriteFileBytes(out + "/good.au", "keep me");
    app.ui.exports = {{"", 2}, {test::TempPath("missing"), 2}, {out, 2}};
    EXPECT_EQ(app.main.ExportRegions({0, 1}), 0);
    const std::vector<std::string> texts = app.ui.Texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], "The export folder is invalid. Please select a valid folder.");
    EXPECT_EQ(texts[1], texts[0]);
    EXPECT_EQ(texts[2], "The region \"good\" already exists in the output folder. Do you want to replace it?");
    EXPECT_EQ(texts[3].rfind("The name of the region \"bad/name\" contains characters that are not valid for a "
                             "file name.",
                             0),
              0u);
    EXPECT_EQ(app.ui.messages[3].caption, "File Name Invalid");
    EXPECT_EQ(test::ReadFileBytes(out + "/good.au"), "keep me");
    EXPECT_FALSE(FileExists(test::TempPath("bad")));
    EXPECT_EQ(LSettings::ReadString("Settings", "ExportRegionFolder"), out);
    EXPECT_EQ(LSettings::ReadInt("Settings", "ExportRegionFormat", 0), 2);

    app.ui.exports = {{out, 2}};
    app.ui.Answer({LUiAnswer::Yes});
    EXPECT_EQ(app.main.ExportRegions({0}), 1);
    App reader;
    EXPECT_EQ(test::Frames(reader.main.OpenFile(out + "/good.au")->audio), RampValues(50));
}
