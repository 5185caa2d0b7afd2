#include <gtest/gtest.h>

#include <random>
#include <unistd.h>

#include "app/LKVBinary.h"
#include "app/LKVProject.h"
#include "app/MainDialog.h"
#include "AppTestSupport.h"
#include "core/LFile.h"

using apptest::App;
using apptest::RampValues;

namespace {

constexpr char kLoadFailed[] =
    "Kelvane cannot load the project. The project may be corrupted or damaged. Please try again.";

struct Snapshot {
    std::vector<std::string> titles;
    std::vector<std::vector<int32_t>> audio;
    std::vector<LKVFile::Positions> positions;
    std::vector<std::pair<std::string, std::string>> bookmarks;  // (name, path)
    std::vector<std::vector<int32_t>> regions;
    int32_t current = -1;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot Take(const MainDialog& main)
{
    Snapshot s;
    for (size_t i = 0; i < main.Documents().size(); ++i) {
        const LKVFile& d = *main.Documents()[i];
        s.titles.push_back(d.GetPathOrTitle());
        s.audio.push_back(test::Frames(d.audio));
        s.positions.push_back(d.pos);
        if (&d == main.CurrentFile())
            s.current = int32_t(i);
    }
    for (const LKVBookMark& b : main.BookMarks())
        s.bookmarks.push_back({b.name, b.path});
    for (const LKVRegion& r : main.Regions())
        s.regions.push_back(test::Frames(r.audio));
    return s;
}

// Two files, an untitled document with a gap in the numbering, bookmarks on
// each and two regions.
void Populate(App& app)
{
    app.OpenRamp("a.wav", 300, 8000, 2);
    app.main.SetSelection(10, 40, 20);
    app.ui.texts = {"mark a", "region a"};
    ASSERT_TRUE(app.main.CmSetBookmark());
    ASSERT_TRUE(app.main.CmAddRegion());
    app.main.CmNewFile();
    LKVFile* third = app.main.CmNewFile();
    app.main.RemoveDocument(app.main.Documents()[1].get());
    ASSERT_EQ(third->GetTitle(), "Untitled 2");
    app.main.SetCurrentFile(app.main.Documents()[0].get());
    app.main.SetSelection(0, 100, 0);
    app.main.CmCopy();
    app.main.SetCurrentFile(third);
    app.main.CmPaste();
    app.ui.texts = {"mark u", "region u"};
    app.main.SetSelection(5, 50, 441);
    ASSERT_TRUE(app.main.CmSetBookmark());
    ASSERT_TRUE(app.main.CmAddRegion());
    LKVFile* b = app.OpenRamp("b.wav", 20000, 11025, 1);
    app.main.SetSelection(1, 2, 3);
    b->pos.viewStart = 4;
    b->pos.viewEnd = 5;
    app.main.SetCurrentFile(third);
}

} // namespace

TEST(Project, SaveAndLoadRestoreEverything)
{
    App app;
    Populate(app);
    const Snapshot before = Take(app.main);
    app.ui.paths = {test::TempPath("work")};
    ASSERT_TRUE(app.main.CmSaveProjectAs());
    EXPECT_EQ(app.main.ProjectPath(), test::TempPath("work.kvp")) << "the extension is added";
    EXPECT_EQ(app.main.Caption(), "Kelvane - work");
    EXPECT_EQ(app.progress.titles.back(), "Saving Project");
    for (const char* step : {"Saving files...", "Saving bookmarks...", "Saving regions..."})
        EXPECT_NE(std::find(app.progress.texts[1].begin(), app.progress.texts[1].end(), step),
                  app.progress.texts[1].end());

    App other;
    other.ui.paths = {test::TempPath("work.kvp")};
    ASSERT_TRUE(other.main.CmOpenProject());
    EXPECT_EQ(other.ui.fileRequests[0].title, "Open Project");
    EXPECT_EQ(LSettings::ReadString("StoreValues", "OpenProjectDir"), test::HomeDir());
    Snapshot after = Take(other.main);
    // The untitled document comes back as the first untitled one, and its
    // bookmark and region with it.
    Snapshot expected = before;
    expected.titles[1] = "Untitled 1";
    expected.bookmarks[1].second = "Untitled 1";
    EXPECT_EQ(after, expected);
    EXPECT_EQ(other.main.Regions()[1].path, "Untitled 1");
    EXPECT_EQ(other.main.Regions()[0].startMs, 1u);
    EXPECT_EQ(other.main.Regions()[0].endMs, 5u);
    EXPECT_EQ(other.main.Documents()[2]->audio.sampleRate, 11025);
    other.main.GoToBookmark(1);
    EXPECT_EQ(other.main.CurrentFile(), other.main.Documents()[1].get());
    EXPECT_EQ(other.main.CurrentFile()->pos.cursor, 441) << "10 ms at 44100 Hz";
}

TEST(Project, ByteLayoutOfTwoDocumentsWithoutBookmarksOrRegions)
{
    App app;
    LKVFile* a = app.OpenRamp("a.wav", 3, 8000, 1);
    app.main.CmNewFile();
    a->pos = {1, 2, 3, 4, 5};
    a->previousPath = "/old.wav";
    app.main.SetCurrentFile(a);
    app.ui.paths = {test::TempPath("two.kvp")};
    ASSERT_TRUE(app.main.CmSaveProjectAs());
    const std::string f = test::ReadFileBytes(test::TempPath("two.kvp"));
    const auto* p = reinterpret_cast<const uint8_t*>(f.data());
    ASSERT_EQ(f.size(), 2 + (540 + 9 + 3 * 4) + (540 + 9) + 3u);
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(p[1], 2);
    EXPECT_EQ(LKVGetText(p + 2), test::TempPath("a.wav"));
    EXPECT_EQ(LKVGetText(p + 262), "/old.wav");
    for (uint32_t i = 0; i < 5; ++i)
        EXPECT_EQ(GetLE32(p + 522 + 4 * i), i + 1);
    EXPECT_EQ(GetLE32(p + 542), 8000u);
    EXPECT_EQ(p[546], 1);
    EXPECT_EQ(GetLE32(p + 547), 3u);
    for (uint32_t i = 0; i < 3; ++i)
        EXPECT_EQ(GetLE32(p + 551 + 4 * i), i * 16);
    const uint8_t* second = p + 563;
    EXPECT_EQ(second[0], 0) << "an untitled document has no path";
    EXPECT_EQ(GetLE32(second + 540), 44100u);
    EXPECT_EQ(GetLE32(second + 545), 0u);
    EXPECT_EQ(f.substr(f.size() - 3), std::string("\0\0\0", 3)) << "current index 0, no bookmarks, no regions";
}

TEST(Project, BlocksHoldWhatTheReaderDelivers)
{
    // Cuts at unity gain are copied from their segment files; gains, silence
    // and a segment file cut short mid-value must still read as the reader
    // reads them.
    test::ScriptedProgress progress;
    LKVFile doc;
    doc.audio = test::ListOf(RampValues(30000, 2), 8000, 2);
    LCutListAudio damaged = test::ListOf(RampValues(10, 2), 8000, 2);
    const std::string aud = LAudioCutTank::Get().GetAudFilePath(damaged.Cuts()[0].Segment());
    ASSERT_EQ(::truncate(aud.c_str(), 10 * 2 * 4 - 6), 0);
    doc.audio.EfInsert(20000, damaged);
    doc.audio.EfAmplify(100, 9000, 50);
    doc.audio.EfInsertSilence(15000, 20000);
    doc.audio.EfDelete(0, 3);
    const LKVBookMarkList bookmarks;
    const LKVRegionList regions;
    LKVProject::SaveData data{{&doc}, &doc, &bookmarks, &regions, test::TempPath("blocks.kvp")};
    ASSERT_EQ(RunJob("save", [&](LProgressDialog& d) { return LKVProject::Save(d, data); }), kJobDone);
    LKVProjectContents contents;
    ASSERT_EQ(RunJob("load", [&](LProgressDialog& d) { return LKVProject::Load(d, data.path, contents); }),
              kJobDone);
    ASSERT_EQ(contents.documents.size(), 1u);
    EXPECT_EQ(test::Frames(contents.documents[0]->audio), test::Frames(doc.audio));
    EXPECT_EQ(contents.documents[0]->audio.channels, 2);

    // Cancel ends the save and leaves the older project in place.
    const std::string before = test::ReadFileBytes(data.path);
    progress.cancelAtPump = progress.pumps + 2;
    EXPECT_EQ(RunJob("save", [&](LProgressDialog& d) { return LKVProject::Save(d, data); }), kJobCancelled);
    EXPECT_EQ(test::ReadFileBytes(data.path), before);
}

TEST(Project, EveryTruncationFailsAndLeavesTheProgramAsItWas)
{
    App app;
    Populate(app);
    app.ui.paths = {test::TempPath("p.kvp")};
    ASSERT_TRUE(app.main.CmSaveProjectAs());
    const std::string whole = test::ReadFileBytes(test::TempPath("p.kvp"));
    app.main.SetSelection(0, 0, 0);
    const Snapshot before = Take(app.main);
    const int32_t live = LAudioCutTank::Get().LiveSegments();
    const std::string cut = test::TempPath("cut.kvp");
    // Every length through the first records and the tail (bookmarks, regions),
    // a sparser walk through the audio between.
    for (size_t n = 0; n < whole.size(); n += n < 600 || n + 3000 > whole.size() ? 1 : 97) {
        test::WriteFileBytes(cut, whole.substr(0, n));
        app.ui.messages.clear();
        app.ui.Answer({LUiAnswer::No, LUiAnswer::No, LUiAnswer::No});  // project, then each modified file
        ASSERT_FALSE(app.main.LoadProject(cut)) << n;
        app.ui.answers.clear();
        ASSERT_EQ(app.ui.Texts().back(), kLoadFailed) << n;
        ASSERT_EQ(LAudioCutTank::Get().LiveSegments(), live) << n;
    }
    EXPECT_EQ(Take(app.main), before);
    EXPECT_EQ(app.main.ProjectPath(), test::TempPath("p.kvp"));
}

TEST(Project, QuestionsBeforeLoadingAndClosing)
{
    App app;
    LKVFile* a = app.OpenRamp("a.wav", 10);
    app.ui.paths = {test::TempPath("one.kvp")};
    ASSERT_TRUE(app.main.CmSaveProjectAs());
    a->modified = true;

    // Cancel at the project question changes nothing.
    app.ui.Answer({LUiAnswer::Cancel});
    EXPECT_FALSE(app.main.LoadProject(test::TempPath("one.kvp")));
    EXPECT_EQ(app.ui.Texts().back(), "Save changes to current project?");
    EXPECT_EQ(app.main.Documents()[0].get(), a);

    // No to the project asks about each unsaved file; Yes to the project saves
    // it (the files' audio is in it) and asks nothing more.
    app.ui.Answer({LUiAnswer::No, LUiAnswer::No});
    EXPECT_TRUE(app.main.LoadProject(test::TempPath("one.kvp")));
    EXPECT_EQ(app.ui.Texts().back(), "Save changes to \"" + test::TempPath("a.wav") + "\"?");
    ASSERT_EQ(app.main.Documents().size(), 1u);
    EXPECT_FALSE(app.main.Documents()[0]->modified);
    app.main.Documents()[0]->modified = true;
    app.ui.messages.clear();
    app.ui.Answer({LUiAnswer::Yes});
    EXPECT_TRUE(app.main.CmCloseProject());
    EXPECT_EQ(app.ui.Texts(), std::vector<std::string>{"Save changes to current project?"});
    EXPECT_TRUE(app.main.Documents().empty());
    EXPECT_EQ(app.main.Caption(), "Kelvane");

    // An empty project asks first.
    app.ui.paths = {test::TempPath("empty.kvp")};
    EXPECT_FALSE(app.main.CmSaveProjectAs());
    EXPECT_EQ(app.ui.Texts().back(), "This project does not contain any file. Do you want to continue to save it?");
    // Replacing an existing project asks; No returns to the dialog.
    app.OpenRamp("b.wav", 10);
    app.ui.paths = {test::TempPath("one.kvp"), test::TempPath("second.kvp")};
    app.ui.Answer({LUiAnswer::No});
    ASSERT_TRUE(app.main.CmSaveProjectAs());
    EXPECT_EQ(app.main.ProjectPath(), test::TempPath("second.kvp"));
    EXPECT_EQ(app.ui.Texts().back(),
              "Another project with the same name already exists. Do you want to replace it?");

    // A save that cannot be written says so and keeps the project where it was.
    app.ui.paths = {"/nonexistent-folder/p.kvp"};
    EXPECT_FALSE(app.main.CmSaveProjectAs());
    EXPECT_EQ(app.ui.Texts().back(), "Kelvane could not save the project.");
    EXPECT_EQ(app.main.ProjectPath(), test::TempPath("second.kvp"));
}

TEST(Project, MoreThan255ItemsOrLongPathsAreRefusedNotCut)
{
    App app;
    app.OpenRamp("a.wav", 10);
    for (int i = 0; i < 256; ++i) {
        app.ui.texts.push_back("m" + std::to_string(i));
        ASSERT_TRUE(app.main.CmSetBookmark());
    }
    const std::string target = test::TempPath("big.kvp");
    test::WriteFileBytes(target, "older project");
    app.ui.paths = {target};
    app.ui.Answer({LUiAnswer::Yes});
    EXPECT_FALSE(app.main.CmSaveProjectAs());
    EXPECT_EQ(app.ui.Texts().back(), "This project holds 256 bookmarks, but a project can hold at most 255. Delete "
                                     "some of them and save the project again.");
    EXPECT_EQ(test::ReadFileBytes(target), "older project");

    app.ui.Answer({LUiAnswer::Yes});
    ASSERT_TRUE(app.main.DeleteBookmarks({0}));
    app.ui.paths = {target};
    app.ui.Answer({LUiAnswer::Yes});
    ASSERT_TRUE(app.main.CmSaveProjectAs()) << "255 fit";
    {
        App other;
        other.ui.paths = {target};
        ASSERT_TRUE(other.main.CmOpenProject());
        EXPECT_EQ(other.main.BookMarks().size(), 255u);
        EXPECT_EQ(other.main.BookMarks()[0].name, "m1");
    }

    // A path longer than its 260-byte field is refused, never cut.
    const std::string folder = test::TempPath(std::string(250, 'f'));
    ASSERT_TRUE(CreateFolders(folder));
    apptest::WriteWav(folder + "/long.wav", apptest::Ramp16(5), 8000, 1);
    ASSERT_NE(app.main.OpenFile(folder + "/long.wav"), nullptr);
    const std::string saved = test::ReadFileBytes(target);
    app.ui.paths = {target};
    app.ui.Answer({LUiAnswer::Yes});
    EXPECT_FALSE(app.main.CmSaveProjectAs());
    EXPECT_EQ(app.ui.Texts().back(), "The path \"" + folder + "/long.wav\" is too long to be stored in a project "
                                     "(at most 259 bytes). The project was not saved.");
    EXPECT_EQ(test::ReadFileBytes(target), saved);
}

TEST(Project, ARegionPlaysAfterItsSourceIsGone)
{
    App app;
    ASSERT_NE(app.OpenRamp("a.wav", 1000), nullptr);
    app.main.SetSelection(200, 300, 200);
    app.ui.texts = {""};  // the proposed name
    ASSERT_FALSE(app.main.CmAddRegion()) << "an empty name abandons";
    app.ui.texts = {"r"};
    ASSERT_TRUE(app.main.CmAddRegion());
    app.main.SetSelection(0, 1000, 0);
    app.main.CmDelete();
    app.ui.Answer({LUiAnswer::No});
    ASSERT_TRUE(app.main.CmClose());
    ::unlink(test::TempPath("a.wav").c_str());
    EXPECT_TRUE(app.main.Documents().empty());
    app.main.PlayRegion(0);
    ASSERT_EQ(app.player.plays.size(), 1u);
    EXPECT_EQ(app.player.plays[0].frames, RampValues(100, 1, 200));
}

TEST(Project, GarbageNeverCrashesTheReaders)
{
    std::mt19937 rng(7);
    const std::string path = test::TempPath("garbage");
    for (int round = 0; round < 300; ++round) {
        std::string bytes(size_t(rng() % 2000), '\0');
        for (char& c : bytes)
            c = char(rng());
        if (!bytes.empty() && round % 3 == 0)
            bytes[0] = char(round % 2);  // a valid version byte more often than chance
        test::WriteFileBytes(path, bytes);
        test::ScriptedProgress progress;
        LKVProjectContents contents;
        RunJob("Loading Project", [&](LProgressDialog& d) { return LKVProject::Load(d, path, contents); });
        LKVBookMarkList list;
        test::WriteFileBytes(test::TempPath("garbage.kbm"), bytes);
        LKVReadBookMarkFile(path, list);
        LKeyMacros macros;
        macros.Load(path);
        for (const LKeyMacro& m : macros.Macros())
            EXPECT_LE(m.commands.size(), 255u);
    }
}
