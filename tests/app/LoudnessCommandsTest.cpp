#include <gtest/gtest.h>

#include <cmath>

#include "app/MainDialog.h"
#include "core/LScriptedUi.h"
#include "core/LSettings.h"
#include "edit/EditTestSupport.h"
#include "effects/LLoudnessMeter.h"

using test::Frames;
using test::ListOf;

namespace {

class NullPlayer : public LPlayerPort {
public:
    void Stop() override {}
    bool Start(LSoundSource, int32_t) override { return true; }
};

class LoudnessUi : public LScriptedUi {
public:
    bool NormalizeLoudnessDialog(LUiLoudnessValues& values) override
    {
        offered.push_back(values);
        if (answers.empty())
            return false;
        values.targetLufs = answers.front().first;
        values.ceilingDbtp = answers.front().second;
        answers.erase(answers.begin());
        return true;
    }
    void LoudnessWindow(const LUiLoudnessReport& report) override { reports.push_back(report); }

    std::vector<std::pair<int32_t, int32_t>> answers;
    std::vector<LUiLoudnessValues> offered;
    std::vector<LUiLoudnessReport> reports;
};

double Integrated(const std::vector<int32_t>& v, size_t from, size_t to)
{
    LLoudnessMeter meter(1, 8000, LLoudnessMeter::kIntegrated);
    meter.Add(v.data() + from, int32_t(to - from));
    return meter.Integrated();
}

} // namespace

TEST(LoudnessCommands, AnalysisAndNormalizeOfTheSelectionInOneUndoStep)
{
    NullPlayer player;
    MainDialog main{&player};
    LoudnessUi ui;
    test::ScriptedProgress progress;
    // 2 s of silence, then 3 s of a 1 kHz sine at -30 dBFS: -33 LUFS mono.
    std::vector<int32_t> in(8000 * 2, 0);
    const std::vector<int32_t> sine = test::Sine(8000 * 3, 8000, 1000.0, 524288.0 * std::pow(10.0, -1.5), 1);
    in.insert(in.end(), sine.begin(), sine.end());
    LKVFile& doc = main.AddDocument(std::make_unique<LKVFile>());
    doc.audio = ListOf(in, 8000, 1);
    doc.path = "tone.wav";

    // Without a selection the analysis covers the whole document; with one, only it.
    EXPECT_EQ(main.CmLoudness(), kJobDone);
    main.SetSelection(16000, 40000, 16000);
    EXPECT_EQ(main.CmLoudness(), kJobDone);
    ASSERT_EQ(ui.reports.size(), 2u);
    EXPECT_EQ(ui.reports[0].what, "tone.wav");
    EXPECT_EQ(ui.reports[1].what, "The selection of tone.wav");
    EXPECT_NEAR(ui.reports[1].integrated, -33.0, 0.1);
    EXPECT_NEAR(ui.reports[1].truePeak, -30.0, 0.1);

    // A target out of range is asked again; the dialog opens on the measured loudness.
    ui.answers = {{-80, -1}, {-20, -1}};
    EXPECT_EQ(main.CmNormalizeLoudness(), kJobDone);
    ASSERT_EQ(ui.offered.size(), 2u);
    EXPECT_NEAR(ui.offered[0].measuredLufs, -33.0, 0.1);
    EXPECT_EQ(ui.offered[0].targetLufs, -23) << "the stored default";
    EXPECT_EQ(ui.messages.back().text, "Target Loudness must be between -70 and -5 LUFS. Please try again.");
    EXPECT_EQ(LSettings::ReadInt("StoredValues", "LoudnessTarget", 0), -20);
    const std::vector<int32_t> out = Frames(doc.audio);
    ASSERT_EQ(out.size(), in.size());
    EXPECT_NEAR(Integrated(out, 16000, 40000), -20.0, 0.05);
    EXPECT_EQ(std::vector<int32_t>(out.begin(), out.begin() + 16000), std::vector<int32_t>(in.begin(), in.begin() + 16000));
    EXPECT_EQ(main.UndoMenuItem().text, "Undo Normalize Loudness\tCtrl+Z");
    main.CmUndo();
    EXPECT_EQ(Frames(doc.audio), in);

    // Silence cannot be measured: the user is told, nothing is asked or recorded.
    main.SetSelection(0, 16000, 0);
    const size_t asked = ui.offered.size();
    EXPECT_EQ(main.CmNormalizeLoudness(), MainDialog::kEffectNotRun);
    EXPECT_EQ(ui.offered.size(), asked);
    EXPECT_NE(ui.messages.back().text.find("too quiet or too short"), std::string::npos);
    EXPECT_EQ(main.UndoMenuItem().text.find("Normalize Loudness"), std::string::npos);
}
