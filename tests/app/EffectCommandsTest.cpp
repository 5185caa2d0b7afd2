#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "app/MainDialog.h"
#include "core/LScriptedUi.h"
#include "core/LSettings.h"
#include "edit/EditTestSupport.h"
#include "effects/LEfEnvelope.h"
#include "effects/PointList.h"

using test::Frames;
using test::ListOf;

namespace {

class Player : public LPlayerPort {
public:
    void Stop() override { ++stops; }
    bool Start(LSoundSource source, int32_t) override
    {
        plays.push_back(source->GetPosition());
        return true;
    }
    int stops = 0;
    std::vector<int32_t> plays;
};

// Scripted effect dialogs: each request pops an answer (nothing left = cancel)
// and records the value it was opened with.
class EffectUi : public LScriptedUi {
public:
    bool AmplifyDialog(int32_t& v) override { return Answer(v); }
    bool NormalizeDialog(int32_t& v) override { return Answer(v); }
    bool SpeedChangeDialog(const std::string& caption, int32_t& v) override
    {
        captions.push_back(caption);
        return Answer(v);
    }
    bool EnvelopeDialog(LUiEnvelopeValues& values) override
    {
        envelopeOffered.push_back(values);
        if (curves.empty())
            return false;
        values.curve = curves.front();
        curves.pop_front();
        return true;
    }

    std::deque<int32_t> answers;
    std::deque<LUiCurve> curves;
    std::vector<int32_t> offered;
    std::vector<std::string> captions;
    std::vector<LUiEnvelopeValues> envelopeOffered;

private:
    bool Answer(int32_t& v)
    {
        offered.push_back(v);
        if (answers.empty())
            return false;
        v = answers.front();
        answers.pop_front();
        return true;
    }
};

struct Fixture {
    Player player;
    MainDialog main{&player};
    EffectUi ui;
    test::ScriptedProgress progress;
    std::vector<int32_t> in = Ramp();
    LKVFile& doc;

    Fixture() : doc(main.AddDocument(std::make_unique<LKVFile>()))
    {
        doc.audio = ListOf(in, 8000, 1);
        main.SetSelection(2000, 6000, 2000);
    }
    static std::vector<int32_t> Ramp()
    {
        std::vector<int32_t> v(10000);
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = int32_t(i) * 16 - 80000;
        return v;
    }
    std::vector<int32_t> Outside(const std::vector<int32_t>& v) const
    {
        std::vector<int32_t> r(v.begin(), v.begin() + 2000);
        r.insert(r.end(), v.end() - 4000, v.end());
        return r;
    }
};

} // namespace

TEST(EffectCommands, AmplifyReasksAfterAnInvalidValueThenStoresUndoesAndPlays)
{
    Fixture f;
    f.ui.answers = {500, 150};
    EXPECT_EQ(f.main.CmAmplify(), kJobDone);
    EXPECT_EQ(f.ui.offered, (std::vector<int32_t>{100, 500})) << "the dialog stays open on what was typed";
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, "Amplify Gain must be less than 400%. Please try again.");
    EXPECT_EQ(f.ui.messages[0].caption, "Invalid value");
    EXPECT_EQ(f.ui.messages[0].icon, LUiIcon::Information);
    EXPECT_EQ(LSettings::ReadInt("StoredValues", "AmplifyGain", 0), 150);
    std::vector<int32_t> out = Frames(f.doc.audio);
    EXPECT_EQ(f.Outside(out), f.Outside(f.in));
    EXPECT_EQ(out[3000], Q24Mul(f.in[3000], (kQ24Unity / 100) * 150));
    EXPECT_EQ(f.main.UndoMenuItem().text, "Undo Amplify\tCtrl+Z");
    EXPECT_EQ(f.doc.pos.cursor, 2000);
    EXPECT_EQ(f.player.plays, (std::vector<int32_t>{0}));  // one second before 2000 at 8000 Hz, not below 0
    f.main.CmUndo();
    EXPECT_EQ(Frames(f.doc.audio), f.in);
    // The next dialog opens on the stored value; 100 % records the step and changes nothing.
    f.ui.answers = {100};
    EXPECT_EQ(f.main.CmAmplify(), kJobDone);
    EXPECT_EQ(f.ui.offered.back(), 150);
    EXPECT_EQ(Frames(f.doc.audio), f.in);
}

TEST(EffectCommands, RedoOfAmplifyCutAndPasteRestoresTheStateBeforeTheUndoCutForCut)
{
    Fixture f;
    const auto check = [&f](const char* name, const std::function<void()>& command) {
        command();
        const std::vector<test::CutView> after = test::View(f.doc.audio);
        const LKVFile::Positions pos = f.doc.pos;
        const std::vector<int32_t> frames = Frames(f.doc.audio);
        f.main.CmUndo();
        EXPECT_NE(test::View(f.doc.audio), after) << name;
        EXPECT_EQ(f.main.RedoMenuItem().text, std::string("Redo ") + name + "\tCtrl+Y");
        f.main.CmRedo();
        EXPECT_EQ(test::View(f.doc.audio), after) << name;
        EXPECT_EQ(f.doc.pos, pos) << name;
        EXPECT_EQ(Frames(f.doc.audio), frames) << name;
        EXPECT_EQ(f.main.UndoMenuItem().text, std::string("Undo ") + name + "\tCtrl+Z");
    };
    f.ui.answers = {150};
    check("Amplify", [&f] { f.main.CmAmplify(); });
    f.main.SetSelection(1000, 3000, 1000);
    check("Cut", [&f] { f.main.CmCut(); });
    f.main.SetSelection(5000, 5500, 5000);
    check("Paste", [&f] { f.main.CmPaste(); });
}

TEST(EffectCommands, NothingWithoutSelectionAndNoChangeOnCancel)
{
    Fixture f;
    f.main.SetSelection(3000, 3000, 3000);
    EXPECT_EQ(f.main.CmAmplify(), MainDialog::kEffectNotRun);
    EXPECT_EQ(f.main.CmFadeIn(), MainDialog::kEffectNotRun);
    EXPECT_EQ(f.main.CmSpeedChange(1), MainDialog::kEffectNotRun);
    EXPECT_TRUE(f.ui.offered.empty());
    f.main.SetSelection(2000, 6000, 2000);
    EXPECT_EQ(f.main.CmNormalize(), MainDialog::kEffectNotRun);  // dialog cancelled
    EXPECT_EQ(f.main.CmEnvelope(), MainDialog::kEffectNotRun);
    EXPECT_FALSE(f.main.UndoMenuItem().enabled);
    EXPECT_TRUE(f.player.plays.empty());
    // A cancelled job keeps the audio; its undo step stays.
    test::ScriptedProgress cancel(1);
    EXPECT_EQ(f.main.CmFadeOut(), kJobCancelled);
    EXPECT_EQ(Frames(f.doc.audio), f.in);
    EXPECT_EQ(f.main.UndoMenuItem().text, "Undo Fade Out\tCtrl+Z");
    EXPECT_TRUE(f.player.plays.empty());
}

TEST(EffectCommands, NormalizeFadesAndTrimUseTheirPreRolls)
{
    Fixture f;
    f.main.SetSelection(6000, 9000, 6000);
    f.ui.answers = {50};
    EXPECT_EQ(f.main.CmNormalize(), kJobDone);
    EXPECT_EQ(f.player.plays.back(), 6000 - 4000);  // half a second
    EXPECT_EQ(f.main.UndoMenuItem().text, "Undo Normalize\tCtrl+Z");
    EXPECT_EQ(f.main.CmFadeIn(), kJobDone);
    EXPECT_EQ(f.player.plays.back(), 0);  // one second before 6000, not below 0
    EXPECT_EQ(f.main.CmFadeOutAndTrim(), kJobDone);
    EXPECT_EQ(f.doc.audio.GetLength(), 9000);
    EXPECT_LT(std::abs(Frames(f.doc.audio).back()), 200) << "faded out at the selection end";
    EXPECT_EQ(f.main.UndoMenuItem().text, "Undo Fade Out and Trim\tCtrl+Z");
    f.main.CmUndo();
    EXPECT_EQ(f.doc.audio.GetLength(), 10000);
}

TEST(EffectCommands, EnvelopeEditsTheCurveFileAndAppliesIt)
{
    Fixture f;
    LUiCurve step = PointList::Of({{0, 128}, {128, 128}, {128, 0}, {255, 0}}).ToUi();
    f.ui.curves = {step};
    EXPECT_EQ(f.main.CmEnvelope(), kJobDone);
    ASSERT_EQ(f.ui.envelopeOffered.size(), 1u);
    EXPECT_EQ(PointList::FromUi(f.ui.envelopeOffered[0].curve), PointList::Flat());
    EXPECT_EQ(f.ui.envelopeOffered[0].selectionStartMs, 250);
    EXPECT_EQ(f.ui.envelopeOffered[0].selectionLengthMs, 500);
    EXPECT_EQ(PointList::Load(PointList::CurrentFile("envelope.dat")), PointList::FromUi(step));
    std::vector<int32_t> out = Frames(f.doc.audio);
    const int32_t edge = 2000 + LEfEnvelope::PointPosition(4000, 128);
    EXPECT_EQ(out[size_t(edge - 1)], f.in[size_t(edge - 1)]);
    EXPECT_EQ(out[size_t(edge)], 0);
    EXPECT_EQ(f.Outside(out), f.Outside(f.in));
    EXPECT_EQ(f.player.plays, (std::vector<int32_t>{0}));
}

TEST(EffectCommands, SpeedChangesMoveTheSelectionEnd)
{
    Fixture f;
    f.ui.answers = {400, 200};
    EXPECT_EQ(f.main.CmSpeedChange(0), kJobDone);
    EXPECT_EQ(f.ui.captions.at(0), "Simple Speed and Pitch Change");
    EXPECT_EQ(f.ui.messages.at(0).text, "Speed Change Percent must be less than 300.");
    EXPECT_EQ(f.doc.pos.selEnd, 2000 + 2000);
    EXPECT_EQ(f.doc.audio.GetLength(), 8000);
    EXPECT_EQ(LSettings::ReadInt("StoredValues", "SpSpeedPitch", 0), 200);
    f.main.CmUndo();
    EXPECT_EQ(f.doc.pos.selEnd, 6000);
    // Constant speed opens on its stored default of 0, which runs as 10 %.
    f.ui.answers = {0};
    EXPECT_EQ(f.main.CmSpeedChange(2), kJobDone);
    EXPECT_EQ(f.ui.offered.back(), 0);
    EXPECT_NEAR(f.doc.pos.selEnd - 2000, 4000, 8000 / 90);
    f.main.CmUndo();
    f.ui.answers = {50};
    EXPECT_EQ(f.main.CmSpeedChange(1), kJobDone);
    EXPECT_NEAR(f.doc.pos.selEnd - 2000, 8000, 8000 / 90);
    EXPECT_EQ(f.doc.audio.GetLength(), 10000 + f.doc.pos.selEnd - 6000);
}
