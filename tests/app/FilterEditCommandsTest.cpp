#include <gtest/gtest.h>

#include <functional>

#include "app/AppTestSupport.h"
#include "app/LKVCommands.h"
#include "effects/EfAutoGainControl.h"
#include "effects/EffectsTestSupport.h"
#include "effects/PointList.h"

using test::Frames;
using test::ListOf;

namespace {

// The dialogs of the filter and edit effects, answered in turn from one queue
// of values (too few left: cancel). The values each dialog opened on are kept.
class FxUi : public apptest::AppUi {
public:
    bool EchoDialog(int32_t& a, int32_t& b) override { return Take({&a, &b}); }
    bool ReverbDialog(int32_t& a, int32_t& b) override { return Take({&a, &b}); }
    bool HighPassDialog(int32_t& v) override { return Take({&v}); }
    bool NoiseReductionDialog(int32_t& v) override { return Take({&v}); }
    bool RepeatDialog(int32_t& v) override { return Take({&v}); }
    bool CompressorDialog(const std::vector<std::string>& names, int32_t& t, int32_t& r, int32_t& l) override
    {
        ratios = names.size();
        return Take({&t, &r, &l});
    }
    bool SilenceDialog(const std::string& caption, int32_t& v) override
    {
        captions.push_back(caption);
        return Take({&v});
    }
    // Answers a flat curve at the level taken.
    bool EqualizerDialog(LUiCurve& curve) override
    {
        int32_t y = 128;
        if (!Take({&y}))
            return false;
        curve = PointList::Of({{0, uint8_t(y)}, {255, uint8_t(y)}}).ToUi();
        return true;
    }
    bool PasteMixDialog(const std::string& caption, LUiMixValues& v) override
    {
        captions.push_back(caption);
        stereo = v.stereo;
        return Take({&v.volume, &v.pan, &v.mode, &v.fadeOutTime});
    }

    std::deque<int32_t> values;
    std::vector<int32_t> offered;
    std::vector<std::string> captions;
    size_t ratios = 0;
    bool stereo = false;

private:
    bool Take(std::initializer_list<int32_t*> fields)
    {
        for (int32_t* f : fields)
            offered.push_back(*f);
        if (values.size() < fields.size())
            return false;
        for (int32_t* f : fields) {
            *f = values.front();
            values.pop_front();
        }
        return true;
    }
};

struct Fixture {
    FxUi ui;
    apptest::FakePlayer player;
    test::ScriptedProgress progress;
    MainDialog main{&player};
    std::vector<int32_t> in;
    LKVFile& doc;

    explicit Fixture(int32_t frames = 16000, int32_t rate = 8000, uint8_t channels = 2)
        : in(test::Noise(size_t(frames) * channels, 0x40000)), doc(main.AddDocument(std::make_unique<LKVFile>()))
    {
        LSettings::WriteBool("Settings", "AutoPlaybackAfterEffects", false);
        doc.audio = ListOf(in, rate, channels);
        main.SetSelection(4000, 12000, 4000);
    }
    std::string Undo() const { return main.UndoMenuItem().text; }
};

} // namespace

TEST(FilterCommands, EachRunsOverTheSelectionWithItsUndoName)
{
    Fixture f;
    f.ui.values = {5, 50, 100, 50, 50, 100, 250, 200, -30, -20, 2, 3};
    struct Row {
        const char* undo;
        std::function<int32_t()> run;
    };
    const Row rows[] = {
        {"Echo", [&] { return f.main.CmEcho(); }},
        {"Reverb", [&] { return f.main.CmReverb(); }},
        {"High-Pass Filter", [&] { return f.main.CmHighPassFilter(); }},
        {"Equalizer", [&] { return f.main.CmEqualizer(); }},
        {"Noise Reduction", [&] { return f.main.CmNoiseReduction(); }},
        {"Dynamic Range Compressor", [&] { return f.main.CmCompressor(); }},
        {"DC Offset Correction", [&] { return f.main.CmDCOffsetCorrection(); }},
        {"Reverse", [&] { return f.main.CmReverse(); }},
    };
    for (const Row& row : rows) {
        const std::vector<int32_t> before = Frames(f.doc.audio);
        ASSERT_EQ(row.run(), kJobDone) << row.undo;
        EXPECT_EQ(f.Undo(), std::string("Undo ") + row.undo + "\tCtrl+Z");
        const std::vector<int32_t> after = Frames(f.doc.audio);
        ASSERT_EQ(after.size(), before.size()) << row.undo;
        EXPECT_TRUE(std::equal(after.begin(), after.begin() + 8000, before.begin())) << row.undo;
        EXPECT_TRUE(std::equal(after.begin() + 24000, after.end(), before.begin() + 24000)) << row.undo;
        EXPECT_NE(after, before) << row.undo;
        EXPECT_EQ(f.doc.pos.selStart, 4000);
        EXPECT_EQ(f.doc.pos.selEnd, 12000);
    }
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, "Echo time must be between 10 and 3000ms. Please try again.");
    EXPECT_EQ(LSettings::ReadInt("StoredValues", "EchoTime", 0), 100);
    EXPECT_EQ(f.ui.ratios, 7u);
    EXPECT_EQ(PointList::Load(PointList::CurrentFile("equalizer.dat")), PointList::Of({{0, 200}, {255, 200}}));
    // Reverse twice, by identifier, gives the audio back.
    const std::vector<int32_t> before = Frames(f.doc.audio);
    EXPECT_TRUE(f.main.ExecuteCommand(kCmReverse));
    EXPECT_TRUE(f.main.ExecuteCommand(kCmReverse));
    EXPECT_EQ(Frames(f.doc.audio), before);
    EXPECT_EQ(f.Undo(), "Undo Reverse\tCtrl+Z");
}

TEST(FilterCommands, WhatStopsACommandBeforeAnyChange)
{
    Fixture f;
    LSettings::WriteInt("StoredValues", "CompressorRatio", 7);  // names no ratio
    f.ui.values = {-20, 7, 3};
    EXPECT_EQ(f.main.CmCompressor(), MainDialog::kEffectNotRun);
    EXPECT_EQ(f.ui.offered[1], 7);
    f.ui.values = {-41, 2, 3};  // out of the control's range: asked again, then cancelled
    EXPECT_EQ(f.main.CmCompressor(), MainDialog::kEffectNotRun);
    EXPECT_EQ(f.ui.messages.back().text, "Threshold must be between -40 and 0 dB. Please try again.");
    f.main.SetSelection(5000, 5000, 5000);
    EXPECT_EQ(f.main.CmEcho(), MainDialog::kEffectNotRun);
    EXPECT_EQ(f.main.CmAutomaticGainControl(), MainDialog::kEffectNotRun);
    EXPECT_EQ(f.main.CmReverse(), MainDialog::kEffectNotRun);
    EXPECT_EQ(f.main.CmTrim(), MainDialog::kEffectNotRun);
    EXPECT_FALSE(f.main.UndoMenuItem().enabled);
    EXPECT_EQ(Frames(f.doc.audio), f.in);
}

TEST(FilterCommands, AutomaticGainControlClearsTheSelectionOrFailsCleanly)
{
    Fixture f(48000, 16000, 1);
    LSettings::WriteBool("Settings", "AutoPlaybackAfterEffects", true);
    const std::string tmp = GetTempFolder();
    setenv("TMPDIR", "/nonexistent/kelvane-app", 1);
    EXPECT_EQ(f.main.CmAutomaticGainControl(), kJobFailed);
    setenv("TMPDIR", tmp.c_str(), 1);
    EXPECT_EQ(f.ui.Texts(), (std::vector<std::string>{EfAutoGainControl::TempFileMessage("/nonexistent/kelvane-app")}));
    EXPECT_EQ(Frames(f.doc.audio), f.in);
    EXPECT_EQ(f.doc.pos.selEnd, 12000);
    EXPECT_TRUE(f.player.plays.empty());
    ASSERT_EQ(f.main.CmAutomaticGainControl(), kJobDone);
    EXPECT_EQ(f.doc.audio.GetLength(), 48000);
    EXPECT_EQ(f.doc.pos.selStart, 0);
    EXPECT_EQ(f.doc.pos.selEnd, 0);
    ASSERT_EQ(f.player.plays.size(), 1u);
    EXPECT_EQ(f.player.plays[0].from, 0);
}

TEST(EditCommands, TrimsClearTheSelection)
{
    Fixture f;
    ASSERT_EQ(f.main.CmTrim(), kJobDone);
    EXPECT_EQ(Frames(f.doc.audio), std::vector<int32_t>(f.in.begin() + 8000, f.in.begin() + 24000));
    EXPECT_EQ(f.doc.pos, (LKVFile::Positions{0, 0, 0, 0, 0}));
    f.main.CmUndo();
    f.main.SetSelection(1000, 3000, 1000);
    ASSERT_EQ(f.main.CmTrimStart(), kJobDone);
    EXPECT_EQ(f.doc.audio.GetLength(), 15000);
    EXPECT_EQ(f.Undo(), "Undo Trim Start\tCtrl+Z");
    f.main.SetSelection(1000, 3000, 1000);
    ASSERT_EQ(f.main.CmTrimEnd(), kJobDone);
    EXPECT_EQ(Frames(f.doc.audio), std::vector<int32_t>(f.in.begin() + 2000, f.in.begin() + 8000));
    EXPECT_FALSE(f.doc.HasSelection());

    // Auto trim by the stored threshold: loud frames 1000..1999 of a quiet list.
    Fixture g(8000, 8000, 1);
    std::vector<int32_t> v(8000, 0x800);
    std::fill(v.begin() + 1000, v.begin() + 2000, 0x7FFF0);
    g.doc.audio = ListOf(v, 8000, 1);
    LSettings::WriteInt("Settings", "AutoTrimThreshold", -30);
    ASSERT_EQ(g.main.ExecuteCommand(kCmAutoTrim), true);
    EXPECT_EQ(g.doc.audio.GetLength(), 2048 - 512) << "from the block before loud block 3 to the end of block 7";
    EXPECT_EQ(g.Undo(), "Undo Auto Trim\tCtrl+Z");
}

TEST(EditCommands, SilenceInsertionAndRepeat)
{
    Fixture f(44100, 22050, 1);
    f.main.SetSelection(1000, 23050, 500);
    // 1500 ms at 22050 Hz are 33075 frames; each insertion selects its silence.
    f.ui.values = {1500, 1500, 1500, -20, INT32_MAX};
    ASSERT_EQ(f.main.CmInsertSilence(MainDialog::SilenceAt::Start), kJobDone);
    EXPECT_EQ(f.doc.pos.selStart, 0);
    EXPECT_EQ(f.doc.pos.selEnd, 33075);
    f.doc.pos.cursor = 40000;
    ASSERT_EQ(f.main.CmInsertSilence(MainDialog::SilenceAt::CurrentPosition), kJobDone);
    ASSERT_EQ(f.main.CmInsertSilence(MainDialog::SilenceAt::End), kJobDone);
    EXPECT_EQ(f.doc.audio.GetLength(), 44100 + 3 * 33075);
    std::vector<int32_t> out = Frames(f.doc.audio);
    EXPECT_EQ(std::vector<int32_t>(out.begin() + 40000, out.begin() + 73075), std::vector<int32_t>(33075, 0));
    EXPECT_EQ(f.main.CmInsertSilence(MainDialog::SilenceAt::End), MainDialog::kEffectNotRun) << "negative time";
    // The longest silence stops at the largest frame position.
    ASSERT_EQ(f.main.CmInsertSilence(MainDialog::SilenceAt::Start), kJobDone);
    EXPECT_EQ(f.doc.audio.GetLength(), INT32_MAX);

    // Repeat 2 on one second adds two; a count the list cannot hold is refused.
    Fixture g(30000, 8000, 1);
    g.main.SetSelection(1000, 9000, 1000);
    g.ui.values = {INT32_MAX, 2, 0};
    ASSERT_EQ(g.main.CmRepeatLoop(), kJobDone);
    ASSERT_EQ(g.ui.messages.size(), 1u);
    EXPECT_EQ(g.ui.messages[0].caption, "Invalid value");
    EXPECT_EQ(g.doc.audio.GetLength(), 30000 + 16000);
    out = Frames(g.doc.audio);
    const std::vector<int32_t> second(g.in.begin() + 1000, g.in.begin() + 9000);
    for (int32_t n = 0; n < 3; ++n)
        EXPECT_EQ(std::vector<int32_t>(out.begin() + 1000 + n * 8000, out.begin() + 9000 + n * 8000), second) << n;
    EXPECT_EQ(g.main.CmRepeatLoop(), MainDialog::kEffectNotRun) << "0 times";
    EXPECT_EQ(g.doc.audio.GetLength(), 46000);
}

TEST(EditCommands, PasteMixAndMixFile)
{
    Fixture f(16000, 8000, 2);
    EXPECT_EQ(f.main.CmPasteMix(), MainDialog::kEffectNotRun) << "the clipboard is empty";
    f.main.SetSelection(0, 2000, 0);
    f.main.CmCopy();
    f.main.SetSelection(8000, 9000, 8000);
    f.ui.values = {100, 50, 1, 0};  // volume, pan, "Increase selection", fade
    ASSERT_EQ(f.main.CmPasteMix(), kJobDone);
    EXPECT_TRUE(f.ui.stereo);
    std::vector<int32_t> out = Frames(f.doc.audio);
    for (size_t i = 0; i < 4000; ++i)
        ASSERT_EQ(out[16000 + i], f.in[16000 + i] + f.in[i]) << i;
    EXPECT_EQ(f.doc.pos.selEnd, 10000) << "the selection covers the mix";
    EXPECT_EQ(f.Undo(), "Undo Paste Mix\tCtrl+Z");

    // A mono 16-bit file at another rate, with the fade mode stored.
    const std::string path = test::TempPath("mix.wav");
    apptest::WriteWav(path, std::vector<int16_t>(16000, 1000), 16000, 1);
    f.ui.paths = {path};
    f.ui.values = {50, 50, 2, 100};  // "Fade out mix" over 100 frames
    f.main.SetSelection(12000, 14000, 12000);
    const std::vector<int32_t> before = Frames(f.doc.audio);
    ASSERT_EQ(f.main.ExecuteCommand(kCmMixFile), true);
    EXPECT_EQ(f.ui.captions.back(), "Mix File");
    EXPECT_EQ(LSettings::ReadString("Settings", "MixFileDir"), test::HomeDir());
    EXPECT_EQ(LSettings::ReadInt("StoredValues", "FadeOutTime", 0), 100);
    EXPECT_EQ(LSettings::ReadInt("StoredValues", "PasteMixVolume", 0), 50);
    out = Frames(f.doc.audio);
    ASSERT_EQ(out.size(), before.size());
    EXPECT_NEAR(out[12500 * 2] - before[12500 * 2], 8000, 20) << "half of 1000 * 16, resampled";
    EXPECT_EQ(std::vector<int32_t>(out.begin() + 14000 * 2, out.end()),
              std::vector<int32_t>(before.begin() + 14000 * 2, before.end()));
    EXPECT_EQ(f.doc.pos.selEnd, 12000 + 8000);
}
