#include <gtest/gtest.h>

#include <algorithm>

#include "app/LKVCommands.h"
#include "app/LRecentFiles.h"
#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "AppTestSupport.h"
#include "core/LFile.h"
#include "formats/LGenSink.h"

using apptest::App;
using apptest::RampValues;

TEST(NewFile, PromptsRemembersAndRefusesRatesOutsideTheLimits)
{
    App app;
    LSettings::WriteBool("Settings", "PromptSampleAndChannels", true);
    app.ui.newFile = {{5999, 2}, {96001, 1}, {22050, 2}};
    LKVFile* doc = app.main.CmNewFile();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(app.ui.Texts(), std::vector<std::string>(2, "Sample rates must be between 6000 and 96000 samples "
                                                          "per second."));
    EXPECT_EQ(app.ui.messages[0].caption, "Error");
    EXPECT_EQ(doc->audio.sampleRate, 22050);
    EXPECT_EQ(doc->audio.channels, 2);
    EXPECT_EQ(doc->GetTitle(), "Untitled 1");
    EXPECT_FALSE(doc->modified);
    EXPECT_EQ(app.main.CurrentFile(), doc);

    // The next dialog opens on the last choice; a cancel creates nothing.
    EXPECT_EQ(app.main.CmNewFile(), nullptr);
    EXPECT_EQ(app.ui.newFileOffered.back(), (std::pair<int32_t, uint8_t>(22050, 2)));
    EXPECT_EQ(app.main.Documents().size(), 1u);

    // Without the prompt the defaults apply; stored nonsense falls back to 44100 Hz mono.
    LSettings::WriteBool("Settings", "PromptSampleAndChannels", false);
    LSettings::WriteInt("Settings", "DefaultSampleRate", 11025);
    LSettings::WriteInt("Settings", "DefaultChannels", 2);
    LKVFile* second = app.main.CmNewFile();
    EXPECT_EQ(second->audio.sampleRate, 11025);
    EXPECT_EQ(second->audio.channels, 2);
    EXPECT_EQ(second->untitledNumber, 2);
    LSettings::WriteInt("Settings", "DefaultSampleRate", 0);
    LSettings::WriteInt("Settings", "DefaultChannels", 7);
    LKVFile* third = app.main.CmNewFile();
    EXPECT_EQ(third->audio.sampleRate, 44100);
    EXPECT_EQ(third->audio.channels, 1);
}

TEST(OpenFile, LoadsOnceReadsBookmarksAndLeavesNothingOnFailure)
{
    App app;
    LSettings::WriteBool("Settings", "PlayWhenOpen", true);
    LKVFile* doc = app.OpenRamp("take.wav", 100);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(test::Frames(doc->audio), RampValues(100));
    EXPECT_EQ(doc->pos.viewEnd, 100);
    EXPECT_EQ(app.progress.titles.back(), "Loading Audio File Source");
    ASSERT_EQ(app.player.plays.size(), 1u);
    EXPECT_EQ(app.player.plays[0].from, 0);

    LKVFile* other = app.OpenRamp("other.wav", 10);
    EXPECT_EQ(app.main.CurrentFile(), other);
    const size_t jobs = app.progress.titles.size();
    EXPECT_EQ(app.main.OpenFile(doc->path), doc) << "an open file is only activated";
    EXPECT_EQ(app.main.CurrentFile(), doc);
    EXPECT_EQ(app.main.Documents().size(), 2u);
    EXPECT_EQ(app.progress.titles.size(), jobs);

    const int32_t live = LAudioCutTank::Get().LiveSegments();
    test::WriteFileBytes(test::TempPath("broken.wav"), "RIFF0000WAVEjunk");
    EXPECT_EQ(app.main.OpenFile(test::TempPath("broken.wav")), nullptr);
    EXPECT_EQ(app.main.Documents().size(), 2u);
    EXPECT_EQ(app.main.CurrentFile(), doc);
    EXPECT_EQ(LAudioCutTank::Get().LiveSegments(), live);
    EXPECT_FALSE(app.ui.messages.empty()) << "the reader says why";

    // A cancelled load leaves no half document either.
    app.progress.cancelAtPump = app.progress.pumps + 1;
    EXPECT_EQ(app.OpenRamp("long.wav", 100000), nullptr);
    EXPECT_EQ(app.main.Documents().size(), 2u);
}

TEST(SaveFile, BookmarkFileRealAudioQuestionReplaceQuestionAndModifiedFlag)
{
    App app;
    LKVFile* doc = app.OpenRamp("song.wav", 50);
    app.main.SetSelection(10, 20, 10);
    app.main.CmDelete();
    app.ui.texts = {"chorus"};
    ASSERT_TRUE(app.main.CmSetBookmark());
    ASSERT_TRUE(doc->modified);
    EXPECT_TRUE(app.main.IsCommandEnabled(kCmSaveFile));
    ASSERT_TRUE(app.main.CmSave());
    EXPECT_FALSE(doc->modified);
    EXPECT_FALSE(app.main.IsCommandEnabled(kCmSaveFile));
    EXPECT_EQ(app.progress.titles.back(), "Saving...");
    EXPECT_TRUE(FileExists(test::TempPath("song.kbm")));
    {
        MainDialog reader;
        EXPECT_EQ(test::Frames(reader.OpenFile(doc->path)->audio).size(), 40u);
        ASSERT_EQ(reader.BookMarks().size(), 1u);
        EXPECT_EQ(reader.BookMarks()[0].name, "chorus");
    }

    // Save As: No to the replace question offers the dialog again.
    const std::string target = test::TempPath("copy.wav");
    test::WriteFileBytes(target, "old");
    app.ui.paths = {target, target};
    app.ui.Answer({LUiAnswer::No, LUiAnswer::Yes});
    ASSERT_TRUE(app.main.CmSaveAs());
    EXPECT_EQ(app.ui.fileRequests.size(), 2u);
    EXPECT_EQ(app.ui.fileRequests[0].title, "Save Audio File As");
    const std::vector<std::string> texts = app.ui.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(),
                         "Another file with the same name already exists. Do you want to replace it?"),
              2);
    EXPECT_EQ(doc->path, target);
    EXPECT_EQ(doc->previousPath, test::TempPath("song.wav"));
    EXPECT_EQ(app.main.BookMarks()[0].path, target) << "bookmarks follow the new name";
    EXPECT_TRUE(FileExists(test::TempPath("copy.kbm")));
    EXPECT_EQ(LSettings::ReadString("Settings", "SaveAsDir"), test::HomeDir());

    // A failed Save As keeps the old name.
    app.ui.paths = {"/nonexistent-folder/x.wav"};
    EXPECT_FALSE(app.main.CmSaveAs());
    EXPECT_EQ(doc->path, target);

    // RealAudio cannot be written: No stops, Yes goes to Save As.
    doc->path = test::TempPath("stream.ra");
    app.ui.messages.clear();
    EXPECT_FALSE(app.main.CmSave());
    EXPECT_EQ(app.ui.Texts().back(), "Saving in real audio file format is not supported. Do you want to save in "
                                     "another format (wav, mp3, gsm, vox) instead?");
    app.ui.Answer({LUiAnswer::Yes});
    app.ui.paths = {test::TempPath("stream.wav")};
    EXPECT_TRUE(app.main.CmSave());
    EXPECT_EQ(doc->path, test::TempPath("stream.wav"));
}

TEST(SaveFile, SaveAsOffersOnlyTypesThatCanBeWritten)
{
    App app;
    app.OpenRamp("song.wav", 50);
    app.ui.paths = {};
    EXPECT_FALSE(app.main.CmSaveAs());
    ASSERT_EQ(app.ui.fileRequests.size(), 1u);
    // A CD track titled from CDDB proposes a name, not a folder.
    LCutListAudio track = app.main.Documents().front()->audio;
    app.main.OpenCDTrack("AC/DC: Live", track);
    EXPECT_FALSE(app.main.CmSaveAs());
    ASSERT_EQ(app.ui.fileRequests.size(), 2u);
    EXPECT_EQ(app.ui.fileRequests[1].fileName, "AC_DC: Live");
    std::vector<std::string> offered;
    for (const LUiFileFilter& filter : app.ui.fileRequests[0].filters)
        for (const std::string& pattern : filter.patterns) {
            offered.push_back(pattern);
            EXPECT_TRUE(LGenSinkHasWriter(pattern.substr(1))) << filter.description;
        }
    for (const char* type : {"*.wav", "*.mp3", "*.ogg", "*.flac", "*.aac", "*.m4a", "*.au", "*.aif", "*.aiff", "*.gsm",
                             "*.vox", "*.raw"})
        EXPECT_NE(std::find(offered.begin(), offered.end(), type), offered.end()) << type;
    for (const LUiFileFilter& filter : app.ui.fileRequests[0].filters)
        EXPECT_EQ(filter.description.find("*.snd"), std::string::npos) << filter.description;
}

TEST(CloseFile, AsksInListOrderAndStopsAtTheFirstCancel)
{
    App app;
    LKVFile* a = app.OpenRamp("a.wav", 10);
    LKVFile* b = app.OpenRamp("b.wav", 10);
    LKVFile* c = app.main.CmNewFile();
    for (LKVFile* d : {a, b, c})
        d->modified = true;
    app.ui.Answer({LUiAnswer::No, LUiAnswer::Cancel});
    EXPECT_FALSE(app.main.CmCloseAll());
    EXPECT_EQ(app.ui.Texts(), (std::vector<std::string>{"Save changes to \"" + test::TempPath("a.wav") + "\"?",
                                                        "Save changes to \"" + test::TempPath("b.wav") + "\"?"}));
    ASSERT_EQ(app.main.Documents().size(), 2u);
    EXPECT_EQ(app.main.Documents()[0].get(), b);

    // Yes on an untitled document goes to Save As; cancelling that keeps it open.
    app.ui.messages.clear();
    app.ui.Answer({LUiAnswer::No, LUiAnswer::Yes});
    EXPECT_FALSE(app.main.CmExit());
    EXPECT_EQ(app.ui.Texts().back(), "Save changes to \"Untitled 1\"?");
    ASSERT_EQ(app.main.Documents().size(), 1u);
    EXPECT_EQ(app.ui.fileRequests.back().title, "Save Audio File As");

    app.ui.Answer({LUiAnswer::No});
    EXPECT_TRUE(app.main.CmExit());
    EXPECT_TRUE(app.main.Documents().empty());
    EXPECT_EQ(app.main.CurrentFile(), nullptr);
    EXPECT_FALSE(app.main.IsCommandEnabled(kCmCut));
    EXPECT_TRUE(app.main.IsCommandEnabled(kCmOpenFile));
    // Closed files with a path went to the recent list.
    auto menu = LRecentFiles::Menu();
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[0].text, "&1. " + test::TempPath("a.wav"));
    EXPECT_EQ(menu[1].command, 1051);
}

TEST(RecentFiles, ElevenSlotsRefreshFirstFreeThenOldest)
{
    apptest::SettingsGuard settings;
    for (int i = 1; i <= 11; ++i)
        LRecentFiles::Add("/f" + std::to_string(i), 100 + i);
    LRecentFiles::Add("/f3", 500);  // refreshes slot 3
    LRecentFiles::Add("/new", 600);
    auto slots = LRecentFiles::Read();
    EXPECT_EQ(slots[0].path, "/new") << "slot 1 held the oldest time";
    EXPECT_EQ(slots[2].time, 500);
    EXPECT_EQ(LSettings::ReadString("Recent", "RecentFile 1"), "/new");
    EXPECT_EQ(LSettings::ReadString("Recent", "RecentFileDate1"), "600");
    // Equal oldest times: the lowest slot goes.
    for (int i = 1; i <= 11; ++i)
        LSettings::WriteString("Recent", "RecentFileDate" + std::to_string(i), "7");
    LRecentFiles::Add("/tie", 8);
    EXPECT_EQ(LRecentFiles::Read()[0].path, "/tie");
    // Times past 2038 keep their order.
    LRecentFiles::Add("/late", int64_t(1) << 33);
    EXPECT_EQ(LRecentFiles::Read()[1].path, "/late");
    EXPECT_EQ(LRecentFiles::Read()[1].time, int64_t(1) << 33);
    // A removed slot leaves a gap that the menu skips and the next file fills.
    LSettings::WriteString("Recent", "RecentFile 5", "");
    auto menu = LRecentFiles::Menu();
    EXPECT_EQ(menu.size(), 10u);
    EXPECT_EQ(menu[4].text, "&6. /f6");
    LRecentFiles::Add("/gap", 9);
    EXPECT_EQ(LRecentFiles::Read()[4].path, "/gap");
    EXPECT_EQ(LRecentFiles::PathOf(1054), "/gap");
    EXPECT_EQ(LRecentFiles::PathOf(1061), "");
}

TEST(OpenFile, NewUsersGetStereoLanesAndEarlierUsersKeepTheirDisplay)
{
    {
        // No settings file yet: a new user.
        ::unlink(LSettings::IniPath().c_str());
        LKVKeepDisplayOfExistingUser();
        App app;
        EXPECT_EQ(app.OpenRamp("lanes.wav", 100, 8000, 2)->displayMode, 2);
    }
    {
        // A settings file from before the lanes, without the value.
        ::unlink(LSettings::IniPath().c_str());
        LSettings::WriteInt("MainWindow", "X", 10);
        LKVKeepDisplayOfExistingUser();
        App app;
        EXPECT_EQ(app.OpenRamp("posneg.wav", 100, 8000, 2)->displayMode, 0);
        // A choice stored since stays as it is.
        LKVSettings::kWaveDisplayMode.Write(1);
        LKVKeepDisplayOfExistingUser();
        EXPECT_EQ(LKVSettings::kWaveDisplayMode.Read(), 1);
    }
}
