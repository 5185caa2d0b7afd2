// The effect dialogs through the frame's commands: they open on the stored
// values, refuse what their checks refuse without closing, and on OK store the
// values and give the document what the model gives it for the same values.
#include <QComboBox>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

#include "EffectTestSupport.h"
#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "edit/EditTestSupport.h"
#include "edit/LKVFile.h"
#include "effects/LEfStoredValues.h"
#include "ui/LKVLevelControl.h"
#include "ui/LKVPasteFileMixDlg.h"
#include "ui/LQtUi.h"

using efftest::Control;
using efftest::Press;
using efftest::Text;
using efftest::Type;
using uitest::DialogScript;

namespace {

using Dialog = std::function<void(QDialog&)>;

struct Case {
    int32_t command;
    std::vector<std::pair<const LEfStoredValue*, int32_t>> stored;  // before, then as the dialog shows them
    Dialog opened;                                                  // checks what the dialog shows
    Dialog edit;                                                    // types the new values
    std::vector<int32_t> answer;                                    // the same values for the model
    std::vector<std::pair<const LEfStoredValue*, int32_t>> after;   // stored after OK
};

Dialog Shows(std::vector<std::pair<int, QString>> fields)
{
    return [fields](QDialog& d) {
        for (const auto& [id, text] : fields)
            EXPECT_EQ(Text(d, id), text) << d.windowTitle().toStdString() << " field " << id;
    };
}

Dialog Types(std::vector<std::pair<int, QString>> fields)
{
    return [fields](QDialog& d) {
        for (const auto& [id, text] : fields)
            Type(d, id, text);
    };
}

namespace S = LEfStored;

std::vector<Case> Cases()
{
    return {
        {kCmAmplify, {{&S::kAmplifyGain, 150}}, Shows({{101, "150"}}), Types({{101, "75"}}), {75}, {{&S::kAmplifyGain, 75}}},
        {kCmNormalize, {{&S::kNormalizePeakLevel, 90}}, Shows({{101, "90"}}), Types({{101, "50"}}), {50},
         {{&S::kNormalizePeakLevel, 50}}},
        {kCmEcho, {{&S::kEchoTime, 700}, {&S::kEchoGain, 40}}, Shows({{101, "700"}, {102, "40"}}),
         Types({{101, "120"}, {102, "60"}}), {120, 60}, {{&S::kEchoTime, 120}, {&S::kEchoGain, 60}}},
        {kCmReverb, {{&S::kReverbLevel, 90}, {&S::kReverbTime, 60}}, Shows({{101, "90"}, {102, "60"}}),
         Types({{101, "70"}, {102, "200"}}), {70, 200}, {{&S::kReverbLevel, 70}, {&S::kReverbTime, 200}}},
        {kCmHighPassFilter, {{&S::kLowCutFreq, 250}}, Shows({{101, "250"}}), Types({{101, "900"}}), {900},
         {{&S::kLowCutFreq, 900}}},
        {kCmSimpleSpeedPitch, {{&S::kSpSpeedPitch, 100}}, Shows({{101, "100"}}), Types({{101, "150"}}), {150},
         {{&S::kSpSpeedPitch, 150}}},
        {kCmConstantPitchSpeed, {{&S::kConstPitchSpeed, 100}}, Shows({{101, "100"}}), Types({{101, "80"}}), {80},
         {{&S::kConstPitchSpeed, 80}}},
        {kCmConstantSpeedPitch, {{&S::kConstSpeedPitch, 0}}, Shows({{101, "0"}}), Types({{101, "120"}}), {120},
         {{&S::kConstSpeedPitch, 120}}},
        {kCmNoiseReduction, {{&S::kNoiseGateLevel, -30}},
         [](QDialog& d) { EXPECT_EQ(Control<LKVLevelControl>(d, 101)->Value(), -30); },
         [](QDialog& d) { Control<LKVLevelControl>(d, 101)->SetValue(-12); }, {-12}, {{&S::kNoiseGateLevel, -12}}},
        {kCmDynamicRangeCompressor,
         {{&S::kCompressorThreshold, -10}, {&S::kCompressorRatio, 1}, {&S::kCompressorLimit, 6}},
         [](QDialog& d) {
             EXPECT_EQ(Control<LKVLevelControl>(d, 101)->Value(), -10);
             EXPECT_EQ(Control<QComboBox>(d, 102)->currentText(), "3:2");
             EXPECT_EQ(Control<QComboBox>(d, 102)->count(), 7);
             EXPECT_EQ(Control<LKVLevelControl>(d, 103)->Value(), 6);
         },
         [](QDialog& d) {
             Control<LKVLevelControl>(d, 101)->SetValue(-24);
             Control<QComboBox>(d, 102)->setCurrentIndex(4);
             Control<LKVLevelControl>(d, 103)->SetValue(3);
         },
         {-24, 4, 3},
         {{&S::kCompressorThreshold, -24}, {&S::kCompressorRatio, 4}, {&S::kCompressorLimit, 3}}},
        {kCmInsertSilenceCurrent, {{&S::kSilenceTimes, 0}}, Shows({{101, "0"}}), Types({{101, "250"}}), {250},
         {{&S::kSilenceTimes, 250}}},
        {kCmRepeatLoop, {{&S::kRepeatNumTimes, 1}}, Shows({{101, "1"}}), Types({{101, "2"}}), {2},
         {{&S::kRepeatNumTimes, 2}}},
        {kCmPasteMix, {{&S::kPasteMixVolume, 100}, {&S::kLongerSelection, 0}, {&S::kFadeOutTime, 250}},
         [](QDialog& d) {
             EXPECT_EQ(Text(d, 101), "100");
             EXPECT_TRUE(Control<QRadioButton>(d, 103)->isChecked()) << "mode 0, insert silence";
             EXPECT_FALSE(Control<QLineEdit>(d, 105)->isEnabled());
             EXPECT_TRUE(Control<QSlider>(d, 106)->isEnabled()) << "a stereo document";
             EXPECT_EQ(Control<QSlider>(d, 106)->value(), 50);
         },
         [](QDialog& d) {
             Type(d, 101, "60");
             Control<QSlider>(d, 106)->setValue(20);
             Control<QRadioButton>(d, 104)->setChecked(true);
             EXPECT_TRUE(Control<QLineEdit>(d, 105)->isEnabled());
             Type(d, 105, "400");
         },
         {60, 20, 2, 400},
         {{&S::kPasteMixVolume, 60}, {&S::kLongerSelection, 2}, {&S::kFadeOutTime, 400}}},
    };
}

// The keyboard starts in the first field (101), its text selected, so that
// typing replaces the value.
void ExpectKeyboardInFirstField(QDialog& d)
{
    QWidget* first = Control<QWidget>(d, 101);
    QWidget* focus = d.focusWidget();
    ASSERT_TRUE(first && focus);
    EXPECT_TRUE(focus == first || first->isAncestorOf(focus)) << focus->objectName().toStdString();
    if (auto* edit = qobject_cast<QLineEdit*>(focus)) {
        EXPECT_FALSE(edit->text().isEmpty());
        EXPECT_EQ(edit->selectedText(), edit->text());
    }
}

// Puts a selection (and for the mixes a clipboard) on the document.
void Prepare(MainDialog& model, int32_t command)
{
    if (command == kCmPasteMix) {
        model.SetSelection(0, 3000, 0);
        model.CmCopy();
    }
    model.SetSelection(2000, 5000, 2000);
}

} // namespace

TEST(EffectDialogs, OpenOnTheStoredValuesAndOkStoresThemAndRunsTheModelsEffect)
{
    efftest::QuietSettings();
    const std::string path = uitest::SoxSine("fx.wav", 8000, 2, 1.0);
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.command);
        for (const auto& [value, v] : c.stored)
            value->Write(v);
        LKVMainWindow w;
        LKVFile* doc = w.Model().OpenFile(path);
        ASSERT_NE(doc, nullptr);
        Prepare(w.Model(), c.command);
        const std::vector<int32_t> original = test::Frames(doc->audio);
        {
            DialogScript script;
            script.Then([&](QDialog& d) {
                ExpectKeyboardInFirstField(d);
                c.opened(d);
                c.edit(d);
                Press(d, QDialogButtonBox::Ok);
            });
            w.RunCommand(c.command);
        }
        for (const auto& [value, v] : c.after)
            EXPECT_EQ(value->Read(), v) << value->name;
        EXPECT_EQ(w.Model().UndoMenuItem().enabled, true);

        MainDialog reference;
        LKVFile* ref = reference.OpenFile(path);
        ASSERT_NE(ref, nullptr);
        Prepare(reference, c.command);
        efftest::ModelUi ui;
        ui.answers.push_back(c.answer);
        ASSERT_TRUE(reference.ExecuteCommand(c.command));
        EXPECT_TRUE(ui.answers.empty());
        EXPECT_EQ(ref->pos.selEnd, doc->pos.selEnd);
        EXPECT_EQ(test::Frames(ref->audio), test::Frames(doc->audio));
        EXPECT_NE(test::Frames(doc->audio), original) << "the effect changed something";
        w.Model().CmCloseAll();
        uitest::Settle();
    }
}

namespace {

struct Refused {
    int32_t command;
    std::vector<std::pair<int, QString>> typed;
    QString message;
    int focused;  // the field that has the focus afterwards
};

} // namespace

TEST(EffectDialogs, AFailedCheckShowsItsMessageAndKeepsTheDialogOpenOnTheField)
{
    efftest::QuietSettings();
    const std::vector<Refused> cases = {
        {kCmAmplify, {{101, "401"}}, "Amplify Gain must be less than 400%. Please try again.", 101},
        {kCmNormalize, {{101, "101"}}, "Normailze Peak Level must be less than 100%. Please try again.", 101},
        // The time is tested first, and 3000 is refused though a preview plays it.
        {kCmEcho, {{101, "3000"}, {102, "100"}}, "Echo time must be between 10 and 3000ms. Please try again.", 101},
        {kCmEcho, {{101, "10"}, {102, "100"}}, "Echo Gain must be less than 100%. Please try again.", 102},
        {kCmReverb, {{101, "101"}, {102, "5"}}, "Reverb level must be less than 100. Please try again.", 101},
        {kCmReverb, {{101, "100"}, {102, "1001"}}, "Reverb time must be between 50 and 1000. Please try again.", 102},
        {kCmConstantPitchSpeed, {{101, "301"}}, "Speed Change Percent must be less than 300.", 101},
        {kCmPasteMix, {{101, "101"}}, "Mix Volume must be less than 100%. Please try again.", 101},
        // Any whole number will do for these, but something must be typed.
        {kCmHighPassFilter, {{101, ""}}, "Please type a whole number between -2147483648 and 2147483647.", 101},
        {kCmRepeatLoop, {{101, "99999999999"}}, "Please type a whole number between -2147483648 and 2147483647.", 101},
    };
    const std::string path = uitest::SoxSine("refuse.wav", 8000, 1, 0.5);
    LKVMainWindow w;
    w.show();
    LKVFile* doc = w.Model().OpenFile(path);
    ASSERT_NE(doc, nullptr);
    const std::vector<int32_t> before = test::Frames(doc->audio);
    w.Model().SetSelection(0, 2000, 0);
    w.Model().CmCopy();
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        LEfStored::kAmplifyGain.Write(100);
        DialogScript script;
        script.Then([&](QDialog& d) {
            for (const auto& [id, text] : c.typed)
                Type(d, id, text);
            Press(d, QDialogButtonBox::Ok);
            // The message has been shown and answered; the dialog is still there.
            EXPECT_TRUE(d.isVisible());
            EXPECT_EQ(d.result(), 0);
            EXPECT_EQ(d.focusWidget(), Control<QWidget>(d, c.focused));
            QLineEdit* field = Control<QLineEdit>(d, c.focused);
            EXPECT_EQ(field->selectedText(), field->text());
            Press(d, QDialogButtonBox::Cancel);
        });
        script.Message("Invalid value", QMessageBox::Ok);
        w.RunCommand(c.command);
        ASSERT_EQ(script.texts.size(), 2u);
        EXPECT_EQ(script.texts[1], c.message);
        // Cancel afterwards: nothing changed, nothing stored, no undo step.
        EXPECT_EQ(test::Frames(doc->audio), before);
        EXPECT_FALSE(w.Model().UndoMenuItem().enabled);
        EXPECT_EQ(LEfStored::kAmplifyGain.Read(), 100);
    }
}

TEST(EffectDialogs, TheMixDialogFollowsTheDocument)
{
    // A mono document pans at the centre; one without audio can only increase
    // the selection; the fade-out time is read only with "Fade out mix".
    LUiMixValues mono;
    mono.pan = 10;
    mono.mode = 2;
    mono.fadeOutTime = 99;
    LKVPasteFileMixDlg d(QStringLiteral("Mix File"), mono);
    EXPECT_FALSE(Control<QSlider>(d, 106)->isEnabled());
    EXPECT_TRUE(Control<QLineEdit>(d, 105)->isEnabled());
    Control<QRadioButton>(d, 102)->setChecked(true);
    EXPECT_FALSE(Control<QLineEdit>(d, 105)->isEnabled());
    Type(d, 105, "7");
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Values().pan, 50);
    EXPECT_EQ(d.Values().mode, 1);
    EXPECT_EQ(d.Values().fadeOutTime, 99);

    LUiMixValues empty;
    empty.hasAudio = false;
    empty.mode = 0;
    LKVPasteFileMixDlg e(QStringLiteral("Paste Mix"), empty);
    EXPECT_TRUE(Control<QRadioButton>(e, 102)->isChecked());
    for (int id : {102, 103, 104})
        EXPECT_FALSE(Control<QRadioButton>(e, id)->isEnabled()) << id;
}

TEST(EffectDialogs, ACompressorRatioThatNamesNoRowIsKeptUntilOneIsPicked)
{
    efftest::QuietSettings();
    LQtUi ui;
    std::vector<std::string> names{"1:1", "3:2", "2:1", "3:1", "4:1", "5:1", "Limit"};
    int32_t threshold = -60, ratio = 9, limit = 20;
    DialogScript script;
    script.Then([](QDialog& d) {
        EXPECT_EQ(Control<QComboBox>(d, 102)->currentIndex(), -1);
        // Stored values beyond the controls' ranges show at their ends.
        EXPECT_EQ(Control<LKVLevelControl>(d, 101)->Value(), -40);
        EXPECT_EQ(Control<LKVLevelControl>(d, 103)->Value(), 12);
        Press(d, QDialogButtonBox::Ok);
    });
    ASSERT_TRUE(ui.CompressorDialog(names, threshold, ratio, limit));
    EXPECT_EQ(ratio, 9);
    EXPECT_EQ(threshold, -40);
    EXPECT_EQ(limit, 12);
}

TEST(EffectDialogs, AfterAnEffectTheViewShowsTheChangedRange)
{
    efftest::QuietSettings();
    LKVMainWindow w;
    w.show();
    LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("view.wav", 8000, 1, 20.0));
    ASSERT_NE(doc, nullptr);
    w.Model().SetSelection(0, 0, 0);
    for (int i = 0; i < 5; ++i)
        w.RunCommand(kCmZoomIn);
    ASSERT_LT(doc->pos.viewEnd, 120000);
    w.Model().SetSelection(150000, 152000, 0);
    LEfStored::kAmplifyGain.Write(50);
    DialogScript script;
    script.Then([](QDialog& d) { Press(d, QDialogButtonBox::Ok); });
    w.RunCommand(kCmAmplify);
    EXPECT_EQ(doc->pos.cursor, 150000);
    EXPECT_LE(doc->pos.viewStart, 150000);
    EXPECT_GT(doc->pos.viewEnd, 150000);
}

TEST(EffectDialogs, ATypedValueAndEnterApplyIt)
{
    efftest::QuietSettings();
    LEfStored::kAmplifyGain.Write(100);
    LKVMainWindow w;
    LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("enter.wav", 8000, 1, 1.0));
    ASSERT_NE(doc, nullptr);
    w.Model().SetSelection(0, 4000, 0);
    DialogScript script;
    script.Then([](QDialog& d) {
        QTest::keyClicks(d.focusWidget(), QStringLiteral("50"));
        QTest::keyClick(d.focusWidget(), Qt::Key_Return);
    });
    w.RunCommand(kCmAmplify);
    EXPECT_EQ(script.Pending(), 0u);
    EXPECT_EQ(LEfStored::kAmplifyGain.Read(), 50);
    EXPECT_EQ(w.Model().UndoMenuItem().text, "Undo Amplify\tCtrl+Z");
}
