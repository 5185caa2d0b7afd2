#include <gtest/gtest.h>

#include <set>
#include <unistd.h>

#include "app/LKVCommands.h"
#include "app/LKVCommandLine.h"
#include "app/LKeyMacros.h"
#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "AppTestSupport.h"
#include "core/LFile.h"
#include "effects/LEfStoredValues.h"

using apptest::App;

TEST(Commands, TableAndEnabledStates)
{
    std::set<int32_t> ids;
    for (const LKVCommandInfo& c : LKVCommandTable())
        EXPECT_TRUE(ids.insert(c.id).second) << c.id;
    EXPECT_STREQ(LKVFindCommand(2001)->menuText, "Undo ");
    EXPECT_STREQ(LKVFindCommand(8003)->shortcut, "Ctrl+Shift+B");
    EXPECT_EQ(LKVFindCommand(1049), nullptr);

    for (int32_t id : {1003, 1009, 1012, 1018, 2001, 2027, 3002, 3010, 4001, 4017, 4018, 5001, 5012, 5040, 7001,
                       8001, 8003, 8004})
        EXPECT_TRUE(LKVCommandNeedsDocument(id)) << id;
    for (int32_t id : {1001, 1002, 1010, 1011, 1013, 1048, 3001, 6000, 7002, 7003, 8000, 8005, 1050})
        EXPECT_FALSE(LKVCommandNeedsDocument(id)) << id;

    App app;
    EXPECT_FALSE(app.main.IsCommandEnabled(kCmDelete));
    EXPECT_TRUE(app.main.ExecuteCommand(kCmDelete)) << "handled by doing nothing";
    EXPECT_FALSE(app.main.IsCommandEnabled(kCmRecentFile1));
    app.main.CmNewFile();
    EXPECT_TRUE(app.main.IsCommandEnabled(kCmDelete));
    EXPECT_FALSE(app.main.IsCommandEnabled(kCmSaveFile)) << "nothing to save yet";
    EXPECT_TRUE(app.main.IsCommandEnabled(kCmSaveFileAs));
    EXPECT_FALSE(app.main.ExecuteCommand(kCmZoomIn)) << "the frame's own";
}

TEST(Commands, ReadoutsAndCaption)
{
    LKVReadouts none = LKVReadouts::Of(nullptr);
    EXPECT_EQ(none.position, "0:00:00.00");
    EXPECT_EQ(none.selectionLength, "0:00:00.000");
    EXPECT_EQ(none.format, "");
    LKVFile doc;
    doc.audio = test::ListOf(std::vector<int32_t>(2 * 44100 * 3, 0), 44100, 2);
    doc.pos = {44100, 22050, 66150, 0, 0};
    LKVReadouts r = LKVReadouts::Of(&doc);
    EXPECT_EQ(r.position, "0:00:01.00");
    EXPECT_EQ(r.selectionStart, "0:00:00.50");
    EXPECT_EQ(r.selectionEnd, "0:00:01.50");
    EXPECT_EQ(r.selectionLength, "0:00:01.000");
    EXPECT_EQ(r.length, "0:00:03.00");
    EXPECT_EQ(r.format, "Sample Rate: 44100   Stereo");
    // Long positions at low rates stay in range.
    EXPECT_EQ(LKVFramesToMs(INT32_MAX, 1000), INT32_MAX);
    EXPECT_EQ(LKVMsToFrames(uint32_t(4000000000u), 96000), INT32_MAX);
    EXPECT_EQ(LKVMsToFrames(1500, 44100), 66150);

    EXPECT_EQ(LKVCaption(""), "Kelvane");
    EXPECT_EQ(LKVCaption("/p/My Work.v2.kvp"), "Kelvane - My Work.v2");
}

TEST(KeyMacros, FileRoundTripVersionAndTruncation)
{
    LKeyMacros macros;
    const uint32_t ctrlShiftF5 = LKeyMacros::KeyCode(0x74, false, true, true);
    EXPECT_EQ(ctrlShiftF5, 0x60074u);
    ASSERT_TRUE(macros.Set(ctrlShiftF5, {kCmSelectAll, kCmCopy}));
    ASSERT_TRUE(macros.Set('Q' | LKeyMacros::kAlt, {}));
    EXPECT_FALSE(macros.Set(0x0D, {kCmCut})) << "Enter cannot be captured";
    EXPECT_FALSE(macros.Set('Z', std::vector<int32_t>(256, kCmCut)));
    ASSERT_TRUE(macros.Set('Z', std::vector<int32_t>(255, kCmCut)));

    const std::string path = test::TempPath("keys.dat");
    ASSERT_EQ(macros.Save(path), LKeyMacros::Result::Ok);
    const std::string f = test::ReadFileBytes(path);
    ASSERT_EQ(f.size(), 1 + (5 + 8) + 5 + (5 + 255 * 4u));
    EXPECT_EQ(f.substr(0, 10), std::string("\0\x74\0\6\0\2\xd7\x07\0\0", 10));

    LKeyMacros read;
    ASSERT_EQ(read.Load(path), LKeyMacros::Result::Ok);
    ASSERT_EQ(read.Macros().size(), 3u);
    EXPECT_EQ(read.Find(ctrlShiftF5)->commands, (std::vector<int32_t>{kCmSelectAll, kCmCopy}));
    EXPECT_EQ(read.Find('Z')->commands.size(), 255u);

    // A cut-off file keeps the whole records before the cut.
    test::WriteFileBytes(path, f.substr(0, f.size() - 1));
    EXPECT_EQ(read.Load(path), LKeyMacros::Result::Corrupt);
    EXPECT_EQ(read.Macros().size(), 2u);
    test::WriteFileBytes(path, "\1");
    EXPECT_EQ(read.Load(path), LKeyMacros::Result::Corrupt);
    EXPECT_TRUE(read.Macros().empty());
    EXPECT_EQ(read.Load(test::TempPath("none.dat")), LKeyMacros::Result::Missing);
    EXPECT_EQ(macros.Save("/nonexistent-folder/keys.dat"), LKeyMacros::Result::WriteFailed);
}

TEST(KeyMacros, NamesCaptureRulesAndDispatch)
{
    EXPECT_EQ(LKeyMacros::KeyName(LKeyMacros::KeyCode('B', true, true, true)), "Ctrl+Alt+Shift+B");
    EXPECT_EQ(LKeyMacros::KeyName(0x70), "F1");
    EXPECT_EQ(LKeyMacros::KeyName(0x24 | LKeyMacros::kShift), "Shift+Home");
    EXPECT_EQ(LKeyMacros::KeyName(0x63), "Num 3");
    EXPECT_EQ(LKeyMacros::KeyName(0xE9), "Key 0xE9");
    for (uint16_t vk : {0x0D, 0x10, 0x11, 0x12, 0x1B, 0xA0, 0xA5})
        EXPECT_FALSE(LKeyMacros::IsAcceptedKey(vk)) << vk;
    EXPECT_TRUE(LKeyMacros::IsAcceptedKey('A'));

    struct Frame : LMainDialogView {
        void FrameCommand(int32_t id) override { frameCommands.push_back(id); }
        std::vector<int32_t> frameCommands;
    } frame;
    App app;
    MainDialog main(&app.player, &frame);
    LKVFile* doc = main.OpenFile([] {
        apptest::WriteWav(test::TempPath("k.wav"), apptest::Ramp16(100), 8000, 1);
        return test::TempPath("k.wav");
    }());
    ASSERT_NE(doc, nullptr);
    main.KeyMacros().Set('K' | LKeyMacros::kCtrl, {kCmSelectAll, kCmDelete, kCmZoomIn});
    EXPECT_FALSE(main.OnKey('K'));
    EXPECT_TRUE(main.OnKey('K' | LKeyMacros::kCtrl));
    EXPECT_EQ(doc->audio.GetLength(), 0);
    EXPECT_EQ(frame.frameCommands, std::vector<int32_t>{kCmZoomIn});

    ASSERT_TRUE(main.SaveKeyMacros());
    test::WriteFileBytes(LKeyMacros::FilePath(), std::string("\7", 1));
    EXPECT_FALSE(main.LoadKeyMacros());
    EXPECT_EQ(app.ui.Texts().back(),
              "This file does not have the same version with the current Kelvane version or it is corrupted.");
}

TEST(CommandLine, FirstAndSecondInstance)
{
    using K = LKVStartAction::Kind;
    EXPECT_EQ(LKVFirstInstanceAction({}).kind, K::None);
    EXPECT_EQ(LKVFirstInstanceAction({"/install"}).kind, K::InstallPrompt);
    EXPECT_EQ(LKVFirstInstanceAction({"/m/a.WAV"}).kind, K::OpenFile);
    EXPECT_EQ(LKVFirstInstanceAction({"/m/set.KVP"}).kind, K::OpenProject);
    LKVStartAction batch = LKVFirstInstanceAction({"-batch", "/m/x.wav", "ignored"});
    EXPECT_EQ(batch.kind, K::AddToBatch);
    EXPECT_EQ(batch.path, "/m/x.wav");

    EXPECT_EQ(LKVSecondInstanceForward({"/m/a.wav"}).message, 1044);
    EXPECT_EQ(LKVSecondInstanceForward({"-batch", "/m/b.wav"}).message, 1045);
    EXPECT_EQ(LKVSecondInstanceForward({"-batch", "/m/b.wav"}).argument, "/m/b.wav");
    EXPECT_EQ(LKVSecondInstanceForward({}).message, 0);
    EXPECT_EQ(LKVSecondInstanceForward({"/install"}).message, 0);
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(LKVSecondInstanceForward({"take.wav"}).argument, std::string(cwd) + "/take.wav");
    EXPECT_EQ(LKVFirstInstanceAction({"a/set.kvp"}).path, std::string(cwd) + "/a/set.kvp");

    struct Frame : LMainDialogView {
        void BatchConverterRequested() override { ++batch; }
        int batch = 0;
    } frame;
    App app;
    MainDialog main(&app.player, &frame);
    apptest::WriteWav(test::TempPath("c.wav"), apptest::Ramp16(10), 8000, 1);
    main.RunCommandLine({test::TempPath("c.wav")});
    EXPECT_EQ(main.Documents().size(), 1u);
    main.OnInstanceMessage(kLKVMsgOpenFile, test::TempPath("c.wav"));
    EXPECT_EQ(main.Documents().size(), 1u) << "already open";
    EXPECT_GE(app.player.stops, 1) << "playback stops first";
    main.OnInstanceMessage(kLKVMsgAddToBatch, "/m/d.wav");
    main.RunCommandLine({"-batch", "/m/e.wav"});
    EXPECT_EQ(main.BatchFiles(), (std::vector<std::string>{"/m/d.wav", "/m/e.wav"}));
    EXPECT_EQ(frame.batch, 2);
}

TEST(SettingsTable, EveryNameOnceWithTheReadersDefaults)
{
    apptest::SettingsGuard settings;
    std::set<std::pair<std::string, std::string>> seen;
    for (const LSettingRow& r : LSettingsTable())
        EXPECT_TRUE(seen.insert({r.section, r.name}).second) << r.section << "/" << r.name;
    auto find = [](const std::string& section, const std::string& name) -> const LSettingRow* {
        for (const LSettingRow& r : LSettingsTable())
            if (r.section == section && r.name == name)
                return &r;
        return nullptr;
    };
    // The effects' stored values and the encoders' options come from their readers.
    ASSERT_NE(find("StoredValues", "FadeOutTime"), nullptr);
    EXPECT_EQ(find("StoredValues", "FadeOutTime")->def, std::to_string(LEfStored::kFadeOutTime.def));
    EXPECT_EQ(find("VoxAudio", "SampleRate")->def, "8000");
    EXPECT_EQ(find("RawAudio", "Codec")->def, "3");
    EXPECT_EQ(find("MainWindow", "Height")->def, "627");
    EXPECT_EQ(find("Settings", "AutoPlaybackAfterEffects")->def, "1");
    EXPECT_EQ(find("Recent", "RecentFile 11")->kind, LSettingRow::Kind::String);
    EXPECT_NE(find("MP3Encoder", "VBRQuality"), nullptr);

    // Booleans read as the store reads them.
    LSettings::WriteString("Settings", "PlayBookMark", "no");
    EXPECT_TRUE(LKVSettings::kPlayBookMark.Read());
    LSettings::WriteString("Settings", "PlayBookMark", "0");
    EXPECT_FALSE(LKVSettings::kPlayBookMark.Read());
}
