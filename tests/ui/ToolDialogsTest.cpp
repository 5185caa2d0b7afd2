// The Tool menu's dialogs offscreen: what each enables, what OK refuses and
// hands back, and what the tone dialog's preview plays.
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "EffectTestSupport.h"
#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "core/LSourceProcessor.h"
#include "devices/DeviceTestSupport.h"
#include "edit/EditTestSupport.h"
#include "edit/LKVFile.h"
#include "effects/LSRCTone.h"
#include "ui/LKVToneDlg.h"

using efftest::Control;
using efftest::Press;
using efftest::Type;
using uitest::DialogScript;

TEST(ToneDialog, EnablesTheWaveformsFieldsRefusesBadTonesAndPreviewsWhatOkMakes)
{
    efftest::QuietSettings();
    const std::string capture = devtest::UseCapture("tone.wav");
    LKVMainWindow w;
    DialogScript script;
    script.Then([&](QDialog& d) {
        auto* kind = Control<QComboBox>(d, 101);
        EXPECT_FALSE(Control<QRadioButton>(d, 115)->isEnabled());  // no document to insert into
        EXPECT_FALSE(Control<QLineEdit>(d, 107)->isEnabled());
        kind->setCurrentIndex(int(LToneParams::Kind::Dtmf));
        EXPECT_TRUE(Control<QLineEdit>(d, 107)->isEnabled());
        EXPECT_FALSE(Control<QLineEdit>(d, 106)->isEnabled());
        EXPECT_FALSE(Control<QLineEdit>(d, 102)->isEnabled());
        Type(d, 107, "");
        Press(d, QDialogButtonBox::Ok);
        EXPECT_TRUE(d.isVisible());
        Type(d, 107, "19#");
        Type(d, 108, "50");
        Type(d, 109, "20");
        Type(d, 110, "0");
        Type(d, 111, "0");
        d.findChild<QComboBox*>(LKVEffectDlg::IdName(112))->setCurrentText(QStringLiteral("8000"));
        // The preview plays the tone as typed, to its end.
        QPushButton* preview = Control<QPushButton>(d, 140);
        preview->click();
        EXPECT_EQ(preview->text(), "Stop");
        EXPECT_TRUE(efftest::PumpUntil([&] { return preview->text() == "Preview"; }));
        Press(d, QDialogButtonBox::Ok);
    });
    script.Message(QStringLiteral("Invalid value"), QMessageBox::Ok);
    w.RunCommand(kCmToneGenerator);
    ASSERT_EQ(script.Pending(), 0u);
    ASSERT_EQ(script.texts.size(), 2u);
    EXPECT_EQ(script.texts[1].toStdString(), "Enter the DTMF digits to generate (0-9, *, #, A-D).");

    LToneParams expected;
    expected.kind = LToneParams::Kind::Dtmf;
    expected.digits = "19#";
    expected.toneMs = 50;
    expected.pauseMs = 20;
    expected.sampleRate = 8000;
    const std::vector<int32_t> tone = test::ReadAll(MakeSource<LSRCTone>(expected));
    LKVFile* doc = w.Model().CurrentFile();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(test::Frames(doc->audio), tone);
    const devtest::Wav heard = devtest::ReadWav(capture);
    EXPECT_EQ(heard.rate, 8000);
    const std::vector<int16_t> expected16 = devtest::As16(tone);
    ASSERT_GE(heard.samples.size(), expected16.size());
    EXPECT_TRUE(std::equal(expected16.begin(), expected16.end(), heard.samples.begin()));
}
