#include <gtest/gtest.h>

#include <dirent.h>

#include "app/MainDialog.h"
#include "core/LProgressDialog.h"
#include "core/LSettings.h"
#include "edit/LAudioCutTank.h"
#include "edit/LCLAConvertRateChannels.h"
#include "edit/EditTestSupport.h"
#include "support/TestSupport.h"

namespace {

class FakePlayer : public LPlayerPort {
public:
    void Stop() override { ++stops; }
    bool Start(LSoundSource source, int32_t) override
    {
        plays.push_back({source->GetLength(), source->GetPosition()});
        return true;
    }
    int stops = 0;
    std::vector<std::pair<int32_t, int32_t>> plays;  // (length, frame)
};

LCutListAudio Ramp(int32_t frames, int32_t rate = 8000)
{
    LCutListAudio list;
    std::vector<int32_t> v(static_cast<size_t>(frames));
    for (int32_t i = 0; i < frames; ++i)
        v[size_t(i)] = i * 16;
    LSoundSink sink = list.OpenSink(rate, 1);
    sink->Write(v.data(), frames);
    sink.Reset();
    return list;
}

int CountSegmentFiles()
{
    int n = 0;
    DIR* dir = opendir(LAudioCutTank::Get().GetWorkingFolder().c_str());
    while (dirent* e = readdir(dir))
        n += e->d_name[0] != '.';
    closedir(dir);
    return n;
}

struct Fixture {
    FakePlayer player;
    MainDialog main{&player};
    test::ScriptedProgress progress;
    LKVFile& doc;
    Fixture() : doc(NewDoc()) {}
    LKVFile& NewDoc()
    {
        auto d = std::make_unique<LKVFile>();
        d->audio = Ramp(8000);
        return main.AddDocument(std::move(d));
    }
    // A Delete command as the main window runs it.
    void Delete(int32_t start, int32_t end)
    {
        main.SetSelection(start, end, start);
        main.StartModifyCurrentFile("Delete");
        doc.audio.EfDelete(start, end);
        main.SetSelection(start, start, start);
        main.EndModifyCurrentFile(start, doc.audio.sampleRate);
    }
};

} // namespace

TEST(Undo, NineDeletionsAndEightUndos)
{
    Fixture f;
    std::vector<int32_t> lengths;
    for (int i = 0; i < 9; ++i) {
        lengths.push_back(f.doc.audio.GetLength());
        f.Delete(100, 200);
    }
    EXPECT_EQ(f.doc.audio.GetLength(), 8000 - 900);
    EXPECT_EQ(f.main.UndoMenuItem().text, "Undo Delete\tCtrl+Z");
    for (int i = 0; i < 8; ++i)
        f.main.CmUndo();
    EXPECT_EQ(f.doc.audio.GetLength(), lengths[1]) << "the state after the first deletion";
    EXPECT_FALSE(f.main.UndoMenuItem().enabled);
    EXPECT_EQ(f.main.UndoMenuItem().text, "Undo \tCtrl+Z");
    f.main.CmUndo();
    EXPECT_EQ(f.doc.audio.GetLength(), lengths[1]) << "a ninth undo does nothing";
}

TEST(Undo, ModifiedFlagFollowsSavesAndUndos)
{
    Fixture f;
    f.Delete(0, 10);
    f.doc.modified = false;  // saved
    f.Delete(0, 10);
    EXPECT_TRUE(f.doc.modified);
    f.Delete(0, 10);
    f.main.CmUndo();
    EXPECT_TRUE(f.doc.modified) << "undoing a later change leaves it on";
    f.main.CmUndo();
    EXPECT_FALSE(f.doc.modified) << "undoing the first change after a save clears it";
}

TEST(Undo, UndoThenEditThenUndo)
{
    Fixture f;
    f.Delete(0, 1000);
    f.Delete(0, 1000);
    f.main.CmUndo();
    EXPECT_EQ(f.doc.audio.GetLength(), 7000);
    f.Delete(0, 500);
    EXPECT_EQ(f.doc.audio.GetLength(), 6500);
    f.main.CmUndo();
    EXPECT_EQ(f.doc.audio.GetLength(), 7000);
    f.main.CmUndo();
    EXPECT_EQ(f.doc.audio.GetLength(), 8000);
    f.main.CmUndo();
    EXPECT_EQ(f.doc.audio.GetLength(), 8000);
}

TEST(Redo, BringsBackEveryUndoneLevelAndANewEditClearsIt)
{
    Fixture f;
    std::vector<std::vector<test::CutView>> states;
    for (int i = 0; i < 9; ++i) {
        f.Delete(100 + 10 * i, 300 + 10 * i);
        states.push_back(test::View(f.doc.audio));
    }
    EXPECT_EQ(f.main.RedoMenuItem().text, "Redo \tCtrl+Y");
    EXPECT_FALSE(f.main.RedoMenuItem().enabled);
    // Redo puts back the cursor and selection each undo found.
    std::vector<LKVFile::Positions> positions(9);
    for (int i = 8; i > 0; --i) {
        positions[size_t(i)] = f.doc.pos;
        f.main.CmUndo();
    }
    EXPECT_EQ(f.main.RedoMenuItem().text, "Redo Delete\tCtrl+Y");
    EXPECT_TRUE(f.main.IsCommandEnabled(kCmRedo));
    for (int i = 1; i < 9; ++i) {
        f.main.CmRedo();
        EXPECT_EQ(test::View(f.doc.audio), states[size_t(i)]) << "redo " << i;
        EXPECT_EQ(f.doc.pos, positions[size_t(i)]) << "redo " << i;
    }
    EXPECT_FALSE(f.main.RedoMenuItem().enabled);
    f.main.CmRedo();
    EXPECT_EQ(test::View(f.doc.audio), states[8]) << "a ninth redo does nothing";
    // Undo and Redo alternate over the same level.
    f.main.CmUndo();
    f.main.CmRedo();
    f.main.CmUndo();
    EXPECT_EQ(test::View(f.doc.audio), states[7]);

    // An edit after an undo leaves nothing to redo.
    f.main.CmUndo();
    f.Delete(0, 10);
    EXPECT_FALSE(f.main.IsCommandEnabled(kCmRedo));
    const std::vector<test::CutView> edited = test::View(f.doc.audio);
    f.main.CmRedo();
    EXPECT_EQ(test::View(f.doc.audio), edited);
}

TEST(Redo, ASaveBetweenUndoAndRedoLeavesTheRedoneDocumentModified)
{
    Fixture f;
    f.Delete(0, 10);
    f.main.CmUndo();
    EXPECT_FALSE(f.doc.modified);
    f.doc.MarkSaved();  // the undone state is now the file
    f.main.CmRedo();
    EXPECT_TRUE(f.doc.modified);
    f.main.CmUndo();
    EXPECT_FALSE(f.doc.modified) << "back to what the file holds";
}

TEST(Undo, LevelsClipboardAndCopiesCostNoAudioIo)
{
    Fixture f;
    int files = CountSegmentFiles();
    LCutListAudio clipboard;
    for (int i = 0; i < 20; ++i) {
        f.Delete(10, 20);
        f.doc.audio.EfCopy(0, 500, clipboard);
        f.main.StartModifyCurrentFile("Paste");
        f.doc.audio.EfInsert(100, clipboard);
    }
    for (int i = 0; i < 8; ++i)
        f.main.CmUndo();
    EXPECT_EQ(CountSegmentFiles(), files);
    EXPECT_EQ(LAudioCutTank::Get().LiveSegments(), 1);
}

TEST(Modify, DeleteLeavesTheCursorAndPlaysFromAPreRoll)
{
    Fixture f;
    f.Delete(3000, 4000);
    EXPECT_EQ(f.doc.pos.cursor, 3000);
    EXPECT_FALSE(f.doc.HasSelection());
    ASSERT_EQ(f.player.plays.size(), 1u);
    EXPECT_EQ(f.player.plays[0].second, 3000 - 8000 < 0 ? 0 : 3000 - 8000);
    EXPECT_GE(f.player.stops, 1);
    LSettings::WriteBool("Settings", "AutoPlaybackAfterEffects", false);
    f.Delete(0, 10);
    EXPECT_EQ(f.player.plays.size(), 1u);
}

TEST(Documents, UntitledNumbersAndTitles)
{
    MainDialog main;
    for (int n : {1, 3}) {
        auto d = std::make_unique<LKVFile>();
        d->untitledNumber = n;
        main.AddDocument(std::move(d));
    }
    EXPECT_EQ(main.GetUntitledIdx(), 2);
    auto saved = std::make_unique<LKVFile>();
    saved->untitledNumber = 2;
    saved->path = "/music/a.wav";
    EXPECT_EQ(saved->GetTitle(), "a.wav");
    EXPECT_EQ(saved->GetPathOrTitle(), "/music/a.wav");
    main.AddDocument(std::move(saved));
    EXPECT_EQ(main.GetUntitledIdx(), 2) << "a saved document's number is free";
    EXPECT_EQ(main.Documents()[0]->GetTitle(), "Untitled 1");
    for (int n = 4; n < 20; ++n) {
        auto d = std::make_unique<LKVFile>();
        d->untitledNumber = n;
        main.AddDocument(std::move(d));
    }
    auto two = std::make_unique<LKVFile>();
    two->untitledNumber = 2;
    main.AddDocument(std::move(two));
    EXPECT_EQ(main.GetUntitledIdx(), 1) << "all of 1..19 taken";
    main.RemoveDocument(main.CurrentFile());
    EXPECT_EQ(main.CurrentFile(), main.Documents().back().get());
}

TEST(Convert, RateChangeKeepsTimesAndUndoRestoresIt)
{
    Fixture f;
    f.main.SetSelection(4000, 6000, 5000);  // 0.5 s, 0.75 s, 0.625 s at 8000
    ASSERT_EQ(f.main.ConvertSampleRate(16000), kJobDone);
    EXPECT_EQ(f.doc.audio.sampleRate, 16000);
    EXPECT_EQ(f.doc.audio.GetLength(), 16000);
    EXPECT_EQ(f.doc.pos.selStart, 8000);
    EXPECT_EQ(f.doc.pos.selEnd, 12000);
    EXPECT_EQ(f.doc.pos.cursor, 10000);
    EXPECT_EQ(f.main.UndoMenuItem().text, "Undo Convert Sample Rate\tCtrl+Z");
    f.main.CmUndo();
    EXPECT_EQ(f.doc.audio.sampleRate, 8000);
    EXPECT_EQ(f.doc.audio.GetLength(), 8000);
    EXPECT_EQ(f.doc.pos.selStart, 4000);
    // A ratio with no small fraction (80/441) keeps the duration to the frame.
    ASSERT_EQ(f.main.ConvertSampleRate(44100), kJobDone);
    EXPECT_EQ(f.doc.audio.GetLength(), 44100);
    EXPECT_EQ(f.doc.pos.selEnd, 33075);
    f.main.CmUndo();

    ASSERT_EQ(f.main.ConvertChannels(2), kJobDone);
    EXPECT_EQ(f.doc.audio.channels, 2);
    std::vector<int32_t> stereo = test::ReadAll(f.doc.audio.OpenSource());
    EXPECT_EQ(stereo[2 * 100], 100 * 16);
    EXPECT_EQ(stereo[2 * 100 + 1], 100 * 16);
    size_t plays = f.player.plays.size();
    EXPECT_EQ(f.main.ConvertChannels(2), kJobDone);
    EXPECT_EQ(f.player.plays.size(), plays) << "nothing to do";
}

TEST(Convert, ACancelledConversionLeavesTheAudioAsItWas)
{
    Fixture f;
    f.doc.audio = Ramp(100000);
    f.progress.cancelAtPump = f.progress.pumps + 3;
    EXPECT_EQ(f.main.ConvertSampleRate(44100), kJobCancelled);
    EXPECT_EQ(f.doc.audio.sampleRate, 8000);
    EXPECT_EQ(f.doc.audio.GetLength(), 100000);
    EXPECT_EQ(LAudioCutTank::Get().LiveSegments(), 1) << "the partial output is gone";
}

TEST(Convert, ToMonoMixesBothChannels)
{
    Fixture f;
    LCutListAudio stereo;
    const std::vector<int32_t> frames = {1600, -3200, 17, 0, -17, 0, 0x7FFF0, 0x7FFF0};
    LSoundSink sink = stereo.OpenSink(8000, 2);
    sink->Write(frames.data(), 4);
    sink.Reset();
    f.doc.audio = stereo;
    ASSERT_EQ(f.main.ConvertChannels(1), kJobDone);
    EXPECT_EQ(f.doc.audio.channels, 1);
    EXPECT_EQ(test::ReadAll(f.doc.audio.OpenSource()), (std::vector<int32_t>{-800, 8, -9, 0x7FFF0}));
}

TEST(Convert, OrderResamplesTheFewerChannels)
{
    test::ScriptedProgress progress;
    LCutListAudio mono = Ramp(22050, 44100);
    LCLAConvertRateChannels::Data d{&mono, 22050, 2};
    ASSERT_EQ(RunJob("x", [&](LProgressDialog& p) { return LCLAConvertRateChannels::Process(p, d); }), kJobDone);
    EXPECT_EQ(mono.sampleRate, 22050);
    EXPECT_EQ(mono.channels, 2);
    EXPECT_EQ(mono.GetLength(), 11025);
    LCLAConvertRateChannels::Data same{&mono, 22050, 2};
    EXPECT_EQ(RunJob("x", [&](LProgressDialog& p) { return LCLAConvertRateChannels::Process(p, same); }), kJobDone);
}
