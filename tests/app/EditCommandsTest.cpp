#include <gtest/gtest.h>

#include "app/LKVCommands.h"
#include "app/MainDialog.h"
#include "AppTestSupport.h"
#include "core/LFile.h"

using apptest::App;
using apptest::RampValues;

namespace {

std::vector<int32_t> Concat(std::vector<int32_t> a, const std::vector<int32_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<int32_t> Slice(const std::vector<int32_t>& v, size_t from, size_t to)
{
    return std::vector<int32_t>(v.begin() + std::ptrdiff_t(from), v.begin() + std::ptrdiff_t(to));
}

} // namespace

TEST(EditCommands, CutPasteDeleteWithUndoAndPlayback)
{
    App app;
    LSettings::WriteBool("Settings", "AutoPlaybackAfterEffects", true);
    LKVFile& doc = *app.OpenRamp("a.wav", 20000);
    const std::vector<int32_t> all = RampValues(20000);

    // Cut without a selection does nothing and records nothing.
    app.main.SetSelection(50, 50, 50);
    app.main.CmCut();
    EXPECT_FALSE(app.main.UndoMenuItem().enabled);
    EXPECT_TRUE(app.player.plays.empty());

    // A selection reaching past the end is clamped to the audio.
    app.main.SetSelection(15000, 30000, 15000);
    app.main.CmCut();
    EXPECT_EQ(test::Frames(app.main.Clipboard()), Slice(all, 15000, 20000));
    EXPECT_EQ(test::Frames(doc.audio), Slice(all, 0, 15000));
    EXPECT_EQ(doc.pos, (LKVFile::Positions{15000, 15000, 15000, 0, 20000}));
    EXPECT_EQ(app.main.UndoMenuItem().text, "Undo Cut\tCtrl+Z");
    ASSERT_EQ(app.player.plays.size(), 1u);
    EXPECT_EQ(app.player.plays[0].from, 15000 - 8000) << "one second of pre-roll";

    // Paste over a selection replaces it and selects the pasted audio.
    app.main.SetSelection(100, 200, 100);
    app.main.CmPaste();
    EXPECT_EQ(test::Frames(doc.audio), Concat(Concat(Slice(all, 0, 100), Slice(all, 15000, 20000)),
                                              Slice(all, 200, 15000)));
    EXPECT_EQ(doc.pos.selStart, 100);
    EXPECT_EQ(doc.pos.selEnd, 5100);
    EXPECT_EQ(app.player.plays.back().from, 0) << "the pre-roll stops at the start";
    app.main.CmUndo();
    EXPECT_EQ(test::Frames(doc.audio), Slice(all, 0, 15000));
    EXPECT_EQ(doc.pos.selStart, 100);

    // Without a selection Paste inserts at the cursor.
    app.main.SetSelection(10, 10, 10);
    app.main.CmPaste();
    EXPECT_EQ(doc.audio.GetLength(), 20000);
    EXPECT_EQ(test::Frames(doc.audio)[10], 15000 * 16);

    app.main.SetSelection(0, 5, 0);
    app.main.CmDelete();
    EXPECT_EQ(doc.audio.GetLength(), 19995);
    EXPECT_EQ(app.main.UndoMenuItem().text, "Undo Delete\tCtrl+Z");
    app.main.CmUndo();
    app.main.CmUndo();
    app.main.CmUndo();
    EXPECT_EQ(test::Frames(doc.audio), all) << "undo of the cut restores the original";
    EXPECT_FALSE(doc.modified);

    // Copy changes the clipboard only.
    app.main.SetSelection(1, 4, 1);
    app.main.CmCopy();
    EXPECT_EQ(test::Frames(app.main.Clipboard()), Slice(all, 1, 4));
    EXPECT_FALSE(app.main.UndoMenuItem().enabled);
}

TEST(EditCommands, PasteConvertsTheClipboardToTheDocumentsFormat)
{
    App app;
    LKVFile& stereo = *app.OpenRamp("s.wav", 44100, 44100, 2);
    app.main.SetSelection(0, 44100, 0);
    app.main.CmCopy();
    LKVFile& mono = *app.OpenRamp("m.wav", 100, 48000, 1);
    app.main.SetSelection(100, 100, 100);
    app.main.CmPaste();
    EXPECT_EQ(mono.audio.channels, 1);
    EXPECT_EQ(mono.audio.sampleRate, 48000);
    EXPECT_EQ(mono.audio.GetLength(), 100 + 48000) << "exactly one second at the document's rate";
    EXPECT_EQ(stereo.audio.channels, 2);
}

TEST(EditCommands, SelectionCommands)
{
    App app;
    LKVFile& doc = *app.OpenRamp("a.wav", 8000);
    app.main.SetSelection(0, 0, 3000);
    app.main.CmSelectToStart();
    EXPECT_EQ(doc.pos, (LKVFile::Positions{3000, 0, 3000, 0, 8000}));
    app.main.CmSelectToEnd();
    EXPECT_EQ(doc.pos, (LKVFile::Positions{3000, 3000, 8000, 0, 8000}));
    app.main.CmSelectAll();
    EXPECT_EQ(doc.pos.selStart, 0);
    EXPECT_EQ(doc.pos.selEnd, 8000);
    // Select Region takes times, in either order, limited to the document.
    app.ui.ranges = {{750, 250}, {500, 5000}};
    app.main.CmSelectRegion();
    EXPECT_EQ(doc.pos, (LKVFile::Positions{2000, 2000, 6000, 0, 8000}));
    app.main.CmSelectRegion();
    EXPECT_EQ(doc.pos.selEnd, 8000);
    app.main.CmSelectRegion();  // cancelled
    EXPECT_EQ(doc.pos.selStart, 4000);
    EXPECT_FALSE(app.main.UndoMenuItem().enabled);
}

TEST(EditCommands, InsertFileAtEachPlaceConvertsAndUndoes)
{
    App app;
    apptest::WriteWav(test::TempPath("ins.wav"), apptest::Ramp16(4000, 2), 4000, 2);
    LKVFile& doc = *app.OpenRamp("a.wav", 1000);
    app.main.SetSelection(0, 0, 300);
    struct Case {
        LKVInsertAt where;
        int32_t at;
        const char* name;
    };
    for (const Case& c : {Case{LKVInsertAt::Begin, 0, "Insert File At Beginning"},
                          Case{LKVInsertAt::Current, 300, "Insert File At Current Position"},
                          Case{LKVInsertAt::End, 1000, "Insert File At The End"}}) {
        app.main.SetSelection(0, 0, 300);
        app.ui.paths = {test::TempPath("ins.wav")};
        ASSERT_TRUE(app.main.CmInsertFile(c.where)) << c.name;
        EXPECT_EQ(app.ui.fileRequests.back().title, "Insert File");
        EXPECT_EQ(doc.audio.GetLength(), 1000 + 8000) << "one second, resampled to 8000 Hz";
        EXPECT_EQ(doc.audio.channels, 1);
        EXPECT_EQ(doc.pos.selStart, c.at);
        EXPECT_EQ(doc.pos.selEnd, c.at + 8000);
        EXPECT_EQ(app.main.UndoMenuItem().text, std::string("Undo ") + c.name + "\tCtrl+Z");
        app.main.CmUndo();
        EXPECT_EQ(test::Frames(doc.audio), RampValues(1000));
    }
    EXPECT_EQ(LSettings::ReadString("Settings", "InsertFileDir"), test::HomeDir());
    // A file that cannot be loaded leaves the document and its undo as they were.
    EXPECT_FALSE(app.main.InsertFile(test::TempPath("missing.wav"), LKVInsertAt::End));
    EXPECT_EQ(doc.audio.GetLength(), 1000);
    EXPECT_FALSE(app.main.UndoMenuItem().enabled);
}

TEST(EditCommands, CopyToNewAndTheSystemClipboardThroughAWaveFile)
{
    App app;
    LKVFile& doc = *app.OpenRamp("a.wav", 1000);
    app.main.SetSelection(100, 300, 100);
    LKVFile* copy = app.main.CmCopyToNew();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetTitle(), "Untitled 1");
    EXPECT_TRUE(copy->modified);
    EXPECT_EQ(test::Frames(copy->audio), RampValues(200, 1, 100));
    EXPECT_EQ(app.main.CurrentFile(), copy);

    // Copy offers the wave data; pasting it back goes through "clipboard.wav",
    // which is gone afterwards.
    app.main.SetCurrentFile(&doc);
    app.main.SetSelection(0, 50, 0);
    app.main.CmCopy();
    app.main.SetCurrentFile(copy);
    app.main.SetSelection(0, 0, 0);
    app.main.CmPasteFromClipboard();
    EXPECT_EQ(test::Frames(copy->audio), Concat(RampValues(50), RampValues(200, 1, 100)));
    EXPECT_EQ(app.main.UndoMenuItem().text, "Undo Paste\tCtrl+Z");
    EXPECT_NE(std::find(app.progress.titles.begin(), app.progress.titles.end(), "Saving to clipboard"),
              app.progress.titles.end());
    EXPECT_FALSE(FileExists(FilePathCat(LSettings::GetFolder("Current"), "clipboard.wav")));

    // A port whose clipboard holds foreign wave data.
    struct Foreign : LKVClipboardPort {
        void OfferWave(Render) override {}
        bool GetWave(std::vector<uint8_t>& bytes) override
        {
            apptest::WriteWav(test::TempPath("foreign.wav"), {100, 200, 300}, 8000, 1);
            std::string s = test::ReadFileBytes(test::TempPath("foreign.wav"));
            bytes.assign(s.begin(), s.end());
            return true;
        }
    } foreign;
    app.main.SetClipboardPort(&foreign);
    app.main.SetSelection(0, 250, 0);
    app.main.CmPasteFromClipboard();
    EXPECT_EQ(test::Frames(copy->audio), (std::vector<int32_t>{1600, 3200, 4800}));
    app.main.SetClipboardPort(nullptr);
}
