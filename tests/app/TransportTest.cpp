// The main window's transport against a scripted player: what it plays, from
// where, at what speed, and how the cursor follows.
#include <gtest/gtest.h>

#include "app/AppTestSupport.h"
#include "app/LKVCommands.h"
#include "app/LRecordDlgModel.h"
#include "devices/LDeviceLevel.h"
#include "devices/DeviceTestSupport.h"
#include "devices/LPlayerDevice.h"
#include "devices/backends/LFileWaveIn.h"

#include <cmath>
#include <functional>

using apptest::App;
using apptest::RampValues;

namespace {

// A player whose state the test sets and whose calls it reads back.
class ScriptedPlayer : public LPlayerPort {
public:
    bool Start(LSoundSource s, int32_t device) override
    {
        ++starts;
        if (fail)
            return false;
        source = s;
        devices.push_back(device);
        state = kActive;
        return true;
    }
    void Stop() override
    {
        ++stops;
        state = 0;
        source.Reset();
    }
    void Cue() override
    {
        calls.push_back("cue");
        state = kActive | kCueing;
    }
    void Play() override
    {
        calls.push_back("play");
        state = kActive;
    }
    void Seek(int32_t frame) override { seeks.push_back(frame); }
    uint16_t State() const override { return state; }
    void SetVolumeDb(int32_t dB) override { volumes.push_back(dB); }
    void SetListener(LPlayerListener* l) override { listener = l; }

    bool fail = false;
    int starts = 0, stops = 0;
    uint16_t state = 0;
    LSoundSource source;
    LPlayerListener* listener = nullptr;
    std::vector<int32_t> devices, seeks;
    std::vector<int32_t> volumes;
    std::vector<std::string> calls;
};

struct Transport {
    apptest::SettingsGuard settings;
    apptest::AppUi ui;
    ScriptedPlayer player;
    test::ScriptedProgress progress;
    MainDialog main{&player};
    LKVFile* doc = nullptr;

    explicit Transport(int32_t frames = 40000)
    {
        LSettings::WriteBool("Settings", "PlayWhenOpen", false);
        const std::string path = test::TempPath("t.wav");
        apptest::WriteWav(path, apptest::Ramp16(frames), 8000, 1);
        doc = main.OpenFile(path);
    }
};

TEST(Transport, PlayFromCursorSelectionAndNearTheEnd)
{
    Transport t;
    ASSERT_NE(t.doc, nullptr);
    ASSERT_NE(t.player.listener, nullptr) << "the main window listens to its player";

    LSettings::WriteInt("Settings", "SoundOutDevice", 3);
    t.main.MoveCursor(1000);
    ASSERT_TRUE(t.main.CmPlay());
    EXPECT_EQ(t.player.devices.back(), 3);
    EXPECT_EQ(t.player.source->GetPosition(), 1000);
    EXPECT_EQ(t.player.source->GetLength(), 40000);
    EXPECT_EQ(t.main.PlayingFile(), t.doc);

    // Within one second of the end it starts again at 0; exactly one second before plays from there.
    t.main.MoveCursor(40000 - 7999);
    t.main.CmPlay();
    EXPECT_EQ(t.player.source->GetPosition(), 0);
    t.main.MoveCursor(40000 - 8001);
    t.main.CmPlay();
    EXPECT_EQ(t.player.source->GetPosition(), 40000 - 8001);

    // A selection plays from its start up to its end, in document positions.
    t.main.SetSelection(2000, 3000, 9000);
    t.main.CmPlay();
    EXPECT_EQ(t.doc->pos.cursor, 2000);
    EXPECT_EQ(t.player.source->GetPosition(), 2000);
    EXPECT_EQ(t.player.source->GetLength(), 3000);
    EXPECT_EQ(test::ReadAll(t.player.source), RampValues(1000, 1, 2000));

    // While cueing Play only leaves the loop.
    const int starts = t.player.starts;
    t.main.CmScrub();
    t.main.CmPlay();
    EXPECT_EQ(t.player.calls, (std::vector<std::string>{"cue", "play"}));
    EXPECT_EQ(t.player.starts, starts);
    // Scrub on an idle player plays first.
    t.main.CmStop();
    t.main.CmScrub();
    EXPECT_EQ(t.player.starts, starts + 1);
    EXPECT_EQ(t.player.state, LPlayerPort::kActive | LPlayerPort::kCueing);
}

TEST(Transport, DeviceFailureShowsTheDeviceMessage)
{
    Transport t;
    t.player.fail = true;
    EXPECT_FALSE(t.main.CmPlay());
    ASSERT_EQ(t.ui.messages.size(), 1u);
    EXPECT_EQ(t.ui.messages[0].text, MainDialog::kDeviceMessage);
    EXPECT_EQ(t.ui.messages[0].caption, "Kelvane");
    EXPECT_EQ(t.ui.messages[0].icon, LUiIcon::Information);
    EXPECT_EQ(t.main.PlayingFile(), nullptr);
    // Automatic playback after an edit reports the same way.
    t.main.SetSelection(0, 100, 0);
    t.main.CmDelete();
    EXPECT_EQ(t.ui.messages.size(), 2u);
}

TEST(Transport, CursorFollowsPlaybackAndSeeksWhileActive)
{
    Transport t;
    t.main.MoveCursor(4001);  // 500.125 ms
    t.main.CmPlay();
    t.player.listener->PlayPosition(500);
    EXPECT_EQ(t.doc->pos.cursor, 4001) << "the same millisecond leaves the cursor alone";
    t.player.listener->PlayPosition(1250);
    EXPECT_EQ(t.doc->pos.cursor, 10000);
    t.player.listener->PlayPosition(-300);
    EXPECT_EQ(t.doc->pos.cursor, 0) << "a backward scan before the start";

    t.main.CmGoToEnd();
    t.main.MoveCursor(1234);
    EXPECT_EQ(t.player.seeks, (std::vector<int32_t>{40000, 1234}));
    t.main.CmStop();
    t.main.CmGoToStart();
    EXPECT_EQ(t.player.seeks.size(), 2u) << "idle: only the cursor moves";
    EXPECT_EQ(t.doc->pos.cursor, 0);

    // A region plays without moving any document's cursor.
    t.main.SetSelection(100, 200, 100);
    ASSERT_TRUE([&] {
        t.ui.texts = {"r"};
        return t.main.CmAddRegion();
    }());
    t.main.PlayRegion(0);
    EXPECT_EQ(t.main.PlayingFile(), nullptr);
    t.player.listener->PlayPosition(5);
    EXPECT_EQ(t.doc->pos.cursor, 100);
}

TEST(Transport, PlaySpeedsStretchTheTempo)
{
    Transport t;
    t.main.ExecuteCommand(kCmPlaySlow);
    EXPECT_EQ(LSettings::ReadInt("Settings", "PlaySpeed", 1), 0);
    ASSERT_EQ(t.player.starts, 1);
    // Positions stay document frames while the output is twice as long.
    std::vector<int32_t> out(16000);
    t.player.source->Read(out.data(), 16000);
    EXPECT_NEAR(t.player.source->GetPosition(), 8000, 200);
    EXPECT_EQ(t.player.source->GetLength(), 40000);

    t.main.ExecuteCommand(kCmPlayFast);
    t.player.source->Read(out.data(), 8000);
    EXPECT_NEAR(t.player.source->GetPosition(), 12000, 200);

    t.main.ExecuteCommand(kCmPlayNormal);
    EXPECT_EQ(t.player.source->GetPosition(), 0);
    const std::vector<int32_t> normal = test::ReadAll(t.player.source, 997);
    ASSERT_EQ(normal.size(), 40000u);
    EXPECT_EQ(normal, test::Frames(t.doc->audio)) << "normal speed plays the audio itself";
}

TEST(Transport, HeldScansAndTheirVolume)
{
    Transport t;
    LSettings::WriteBool("Settings", "ReduceVolWhenRewind", true);
    t.main.SetPlayVolume(4);
    EXPECT_EQ(t.player.volumes.back(), 4);
    EXPECT_EQ(t.main.PlayVolume(), 4);

    t.main.MoveCursor(20000);
    t.main.CmPlay();
    t.main.ScanPressed(LKVScan::Rewind);
    EXPECT_EQ(t.doc->pos.cursor, 20000 - 1600) << "back by a fifth of a second";
    EXPECT_EQ(t.player.volumes.back(), -8);
    // The scan runs backwards through the document.
    std::vector<int32_t> out(4000);
    t.player.source->Read(out.data(), 4000);
    EXPECT_LT(t.player.source->GetPosition(), 18400);
    t.main.ScanPressed(LKVScan::Rewind);
    EXPECT_EQ(t.player.starts, 2) << "the same scan again is ignored";

    t.main.ScanReleased(LKVScan::Rewind);
    EXPECT_EQ(t.player.volumes.back(), 4);
    EXPECT_EQ(t.player.starts, 3) << "it was playing, so it plays again";
    EXPECT_EQ(t.main.Scanning(), LKVScan::None);

    // From the scrub loop: a tenth of a second back, then back to scrubbing.
    t.main.CmScrub();
    t.main.ScanPressed(LKVScan::Rewind);
    EXPECT_EQ(t.doc->pos.cursor, 18400 - 800);
    t.main.ScanPressed(LKVScan::Forward);  // ends the rewind first
    EXPECT_EQ(t.main.Scanning(), LKVScan::Forward);
    t.main.ScanReleased(LKVScan::Forward);
    EXPECT_EQ(t.player.calls.back(), "cue");

    // From idle a scan leaves the player idle when released.
    t.main.CmStop();
    t.main.ScanPressed(LKVScan::Forward);
    t.player.source->Read(out.data(), 4000);
    EXPECT_GT(t.player.source->GetPosition(), t.doc->pos.cursor + 4000);
    t.main.ScanReleased(LKVScan::Forward);
    EXPECT_EQ(t.player.state, 0);
}

} // namespace

// ---- Record into the document, with the free-running file device ----

namespace {

class RecordUi : public apptest::AppUi {
public:
    std::function<int32_t(LRecordDlgModel&)> script;
    int32_t RecordDialog(LRecordDlgModel& model) override { return script ? script(model) : 0; }
};

// One take of the whole input file, stopped once the device has delivered it.
std::vector<int32_t> TakeAll(LRecordDlgModel& model, int32_t atMs)
{
    EXPECT_TRUE(model.StartTake(atMs));
    EXPECT_EQ(model.ButtonTexts()[0], "Restart (F6)");
    EXPECT_TRUE(LFileWaveIn::WaitUntilDrained(30000));
    model.StopTake();
    EXPECT_EQ(model.ButtonTexts()[3], "Go to End (End)");
    return test::Frames(model.Recorded());
}

TEST(Record, TakesRestartReTakeAndTheDocument)
{
    apptest::SettingsGuard settings;
    RecordUi ui;
    test::ScriptedProgress progress;
    MainDialog main;
    const std::string in = test::TempPath("voice.wav");
    apptest::WriteWav(in, [] {
        std::vector<int16_t> v(8000);
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = int16_t(3000 + int32_t(i % 100) * 50);
        return v;
    }(), 8000, 1);
    setenv("KELVANE_AUDIO_IN", in.c_str(), 1);
    setenv("KELVANE_AUDIO_CLOCK", "free", 1);
    LSettings::WriteBool("Settings", "PlayWhenOpen", false);
    LSettings::WriteBool("Recorder", "Autotrim", false);
    const std::string path = test::TempPath("doc.wav");
    apptest::WriteWav(path, apptest::Ramp16(16000), 8000, 1);
    LKVFile* doc = main.OpenFile(path);
    ASSERT_NE(doc, nullptr);
    const std::vector<int32_t> before = test::Frames(doc->audio);
    main.SetSelection(1000, 3000, 1000);

    std::vector<int32_t> take;
    ui.script = [&](LRecordDlgModel& model) {
        EXPECT_FALSE(model.Autotrim());
        take = TakeAll(model, 0);
        EXPECT_EQ(take.size(), 8000u) << "nothing trimmed, nothing lost";
        // A take at 500 ms keeps the first half of the first.
        std::vector<int32_t> second = TakeAll(model, 500);
        std::vector<int32_t> expected(take.begin(), take.begin() + 4000);
        expected.insert(expected.end(), take.begin(), take.end());
        EXPECT_EQ(second, expected);
        // Re-Take drops only that take; Restart drops everything.
        EXPECT_TRUE(model.ReTake());
        EXPECT_EQ(model.TakeStartMs(), 500);
        EXPECT_TRUE(LFileWaveIn::WaitUntilDrained(30000));
        model.StopTake();
        EXPECT_EQ(test::Frames(model.Recorded()), expected);
        EXPECT_TRUE(model.Restart());
        EXPECT_TRUE(LFileWaveIn::WaitUntilDrained(30000));
        model.StopTake();
        EXPECT_EQ(test::Frames(model.Recorded()), take);
        model.SetVolume(-6);
        return 1;
    };
    ASSERT_TRUE(main.ExecuteCommand(kCmRecord));
    EXPECT_EQ(LSettings::ReadInt("Recorder", "Volume", 0), -6);

    // The recording replaced the selection and is selected, cursor at its start.
    EXPECT_EQ(doc->pos.selStart, 1000);
    EXPECT_EQ(doc->pos.selEnd, 9000);
    EXPECT_EQ(doc->pos.cursor, 1000);
    std::vector<int32_t> expected(before.begin(), before.begin() + 1000);
    expected.insert(expected.end(), take.begin(), take.end());
    expected.insert(expected.end(), before.begin() + 3000, before.end());
    EXPECT_EQ(test::Frames(doc->audio), expected);
    EXPECT_EQ(main.UndoMenuItem().text, "Undo Record\tCtrl+Z");
    main.CmUndo();
    EXPECT_EQ(test::Frames(doc->audio), before);

    // A dialog that keeps nothing changes nothing.
    ui.script = [](LRecordDlgModel&) { return 0; };
    EXPECT_FALSE(main.CmRecord());
    EXPECT_EQ(test::Frames(doc->audio), before);
}

} // namespace

// ---- The transport through the real player and the free-running capture device ----

namespace {

std::vector<int16_t> Captured(const std::string& path)
{
    const std::string b = test::ReadFileBytes(path);
    std::vector<int16_t> v;
    for (size_t i = 44; i + 1 < b.size(); i += 2)
        v.push_back(int16_t(GetLE16(reinterpret_cast<const uint8_t*>(b.data()) + i)));
    return v;
}

TEST(TransportDevice, WhatIsHeardIsTheDocument)
{
    apptest::SettingsGuard settings;
    apptest::AppUi ui;
    test::ScriptedProgress progress;
    LPlayerDevice device;
    MainDialog main(&device);
    setenv("KELVANE_AUDIO_CLOCK", "free", 1);
    LSettings::WriteBool("Settings", "PlayWhenOpen", false);
    const std::string path = test::TempPath("heard.wav");
    std::vector<int16_t> audio(2 * 20000);
    for (size_t i = 0; i < audio.size(); ++i)
        audio[i] = int16_t((i * 7) % 60000 - 30000);
    apptest::WriteWav(path, audio, 8000, 2);
    LKVFile* doc = main.OpenFile(path);
    ASSERT_NE(doc, nullptr);
    auto play = [&](const std::string& name) {
        const std::string out = test::TempPath(name);
        setenv("KELVANE_AUDIO_OUT", ("capture:" + out).c_str(), 1);
        EXPECT_TRUE(main.CmPlay());
        EXPECT_EQ(main.PlayingFile(), doc);
        EXPECT_TRUE(devtest::PumpUntil([&] { return main.PlayerState() == 0; }));
        return Captured(out);
    };
    main.MoveCursor(3000);
    EXPECT_EQ(play("cursor.wav"), std::vector<int16_t>(audio.begin() + 6000, audio.end()));
    EXPECT_EQ(doc->pos.cursor, 20000) << "the cursor followed to the end";
    main.SetSelection(5000, 9000, 0);
    EXPECT_EQ(play("selection.wav"), std::vector<int16_t>(audio.begin() + 10000, audio.begin() + 18000));
    EXPECT_EQ(doc->pos.cursor, 9000);
    EXPECT_EQ(main.PlayVolume(), 0) << "\"PlayVolume\" as stored: the audio as it is, as heard above";

    // The volume is a gain on what is played: at -6 dB every sample is about half.
    main.SetSelection(0, 0, 0);
    main.SetPlayVolume(-6);
    const std::vector<int16_t> soft = play("soft.wav");
    ASSERT_EQ(soft.size(), audio.size());
    for (size_t i = 0; i < soft.size(); ++i)
        ASSERT_NEAR(soft[i], audio[i] * std::pow(10.0, -6.0 / 20), 0.51) << i;
}

} // namespace
