// The dialogs the lower layers ask for, answered through their own widgets.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "app/LSettingsTable.h"
#include "core/LSettings.h"
#include "edit/LKVFile.h"
#include "formats/LMp3EncoderSettings.h"
#include "formats/LRawSettings.h"
#include "formats/LWaveFile.h"
#include "formats/LWaveSaveFormat.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"
#include "ui/LQtUi.h"

using uitest::DialogScript;

namespace {

void PressOk(QDialog& dialog)
{
    auto* box = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    box->button(QDialogButtonBox::Ok)->click();
}

DialogScript::Answer Fill(std::vector<std::pair<const char*, QString>> fields)
{
    return [fields](QDialog& d) {
        for (const auto& [name, text] : fields)
            uitest::Type(d, name, text);
        PressOk(d);
    };
}

} // namespace

TEST(PortDialogs, MessageBoxesShowTheTextCaptionIconAndAnswer)
{
    LQtUi ui;
    DialogScript script;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    script.Then([&](QDialog& d) {
        auto& box = static_cast<QMessageBox&>(d);
        icon = box.icon();
        text = box.text();
        uitest::Click(box, QMessageBox::No);
    });
    EXPECT_EQ(ui.Message("Line one.\r\rLine two.", "Shut Down Required", LUiButtons::YesNoCancel, LUiIcon::Stop),
              LUiAnswer::No);
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(text, "Line one.\n\nLine two.");
    EXPECT_EQ(script.titles.back(), "Shut Down Required");

    // Escape answers No to a yes/no question and Cancel where there is one.
    script.Then([](QDialog& d) { d.reject(); });
    EXPECT_EQ(ui.Message("Replace?", "Kelvane", LUiButtons::YesNo, LUiIcon::Question), LUiAnswer::No);
    script.Then([](QDialog& d) { d.reject(); });
    EXPECT_EQ(ui.Message("Save?", "Kelvane", LUiButtons::YesNoCancel, LUiIcon::Question), LUiAnswer::Cancel);
    script.Message("Kelvane", QMessageBox::Retry);
    EXPECT_EQ(ui.Message("Again?", "Kelvane", LUiButtons::RetryCancel, LUiIcon::Exclamation), LUiAnswer::Retry);
}

TEST(PortDialogs, NewFileRefusesARateOutsideItsRangeAndRemembersTheChoice)
{
    LKVMainWindow w;
    DialogScript script;
    script.Then(Fill({{"sampleRate", "5999"}}));
    script.Message("Error", QMessageBox::Ok);
    script.Then([](QDialog& d) {
        EXPECT_EQ(d.findChild<QComboBox*>("sampleRate")->currentText(), "5999") << "opens on what was typed";
        uitest::Type(d, "sampleRate", "22050");
        d.findChild<QComboBox*>("channels")->setCurrentIndex(1);
        PressOk(d);
    });
    w.RunCommand(kCmNewFile);
    ASSERT_EQ(script.texts.size(), 3u);
    EXPECT_EQ(script.texts[1], "Sample rates must be between 6000 and 96000 samples per second.");
    LKVFile* doc = w.Model().CurrentFile();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->audio.sampleRate, 22050);
    EXPECT_EQ(doc->audio.channels, 2);
    EXPECT_EQ(doc->GetTitle(), "Untitled 1");
    EXPECT_EQ(LKVSettings::kSelectedSampleRate.Read(), 22050);

    script.Then([](QDialog& d) {
        EXPECT_EQ(d.findChild<QComboBox*>("sampleRate")->currentText(), "22050");
        EXPECT_EQ(d.findChild<QComboBox*>("channels")->currentIndex(), 1);
        d.reject();
    });
    w.RunCommand(kCmNewFile);
    EXPECT_EQ(w.Model().Documents().size(), 1u);
}

TEST(PortDialogs, RawDialogChecksTheRateAndOpensTheFileWithWhatWasChosen)
{
    LKVMainWindow w;
    const std::string path = test::TempPath("speech.raw");
    std::string bytes;
    for (int i = 0; i < 400; ++i)
        bytes += char(i & 0xFF), bytes += char(0);
    test::WriteFileBytes(path, bytes);

    DialogScript script;
    // The dialog stays open through both refusals; each message opens over it.
    script.Then([&](QDialog& d) {
        script.Message("Error", QMessageBox::Ok);
        script.Message("Error", QMessageBox::Ok);
        uitest::Type(d, "102", "196001");
        PressOk(d);
        uitest::Type(d, "102", "5999");
        PressOk(d);
        EXPECT_TRUE(d.isVisible());
        uitest::Type(d, "102", "196000");
        d.findChild<QComboBox*>("103")->setCurrentIndex(1);
        d.findChild<QComboBox*>("101")->setCurrentIndex(3);
        PressOk(d);
    });
    LKVFile* doc = w.Model().OpenFile(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(script.texts[1], "Please enter a sample rate between 6000 and 196000.");
    EXPECT_EQ(doc->audio.sampleRate, 196000);
    EXPECT_EQ(doc->audio.channels, 2);
    EXPECT_EQ(doc->audio.GetLength(), 200) << "800 bytes of 16-bit stereo";
    const LRawSettings stored = LRawSettings::Read(kRawAudioSection);
    EXPECT_EQ(stored.sampleRate, 196000u);
    EXPECT_EQ(stored.channels, 2);
}

TEST(PortDialogs, SaveAsAsksBeforeReplacingAndTheTypeDecidesTheExtension)
{
    LKVMainWindow w;
    const std::string source = uitest::SoxSine("source.wav", 8000, 1, 0.5);
    ASSERT_NE(w.Model().OpenFile(source), nullptr);
    const std::string existing = test::TempPath("existing.wav");
    test::WriteFileBytes(existing, "keep me");

    DialogScript script;
    script.Then(uitest::ChooseFile(existing));
    script.Message("Kelvane", QMessageBox::No);
    script.Then([](QDialog& d) {
        EXPECT_EQ(static_cast<QFileDialog&>(d).selectedFiles().value(0).section('/', -1), "existing.wav")
            << "asks again with the name that was refused";
        d.reject();
    });
    w.RunCommand(kCmSaveFileAs);
    EXPECT_EQ(script.texts.at(1), "Another file with the same name already exists. Do you want to replace it?");
    EXPECT_EQ(test::ReadFileBytes(existing), "keep me");

    // A name without an extension takes the chosen type's: AU here.
    script.Then([&](QDialog& d) {
        auto& files = static_cast<QFileDialog&>(d);
        files.selectNameFilter(files.nameFilters().filter("AU Files").value(0));
        files.selectFile(QString::fromStdString(test::TempPath("plain")));
        d.accept();
    });
    w.RunCommand(kCmSaveFileAs);
    EXPECT_EQ(w.Model().CurrentFile()->path, test::TempPath("plain.au"));
    EXPECT_EQ(test::ReadFileBytes(test::TempPath("plain.au")).substr(0, 4), ".snd");

    script.Then(uitest::ChooseFile(existing));
    script.Message("Kelvane", QMessageBox::Yes);
    w.RunCommand(kCmSaveFileAs);
    EXPECT_EQ(w.Model().CurrentFile()->path, existing);
    EXPECT_EQ(test::ReadFileBytes(existing).substr(0, 4), "RIFF");
}

TEST(PortDialogs, TheSaveDialogsOptionsButtonPicksTheWaveFormatThatIsSaved)
{
    LKVMainWindow w;
    ASSERT_NE(w.Model().OpenFile(uitest::SoxSine("voice.wav", 8000, 1, 0.5)), nullptr);
    const std::string target = test::TempPath("voice-adpcm.wav");

    DialogScript script;
    script.Then([&](QDialog& d) {
        auto& files = static_cast<QFileDialog&>(d);
        files.selectFile(QString::fromStdString(target));
        auto* options = files.findChild<QPushButton*>("formatOptions");
        ASSERT_NE(options, nullptr);
        EXPECT_TRUE(options->isEnabled());
        options->click();  // runs the chooser below, then comes back here
        d.accept();
    });
    script.Then([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Select Wave File Format");
        auto* format = d.findChild<QComboBox*>("format");
        const int ima = format->findText("IMA ADPCM");
        ASSERT_GE(ima, 0) << "formats offered: " << format->count();
        format->setCurrentIndex(ima);
        PressOk(d);
    });
    w.RunCommand(kCmSaveFileAs);
    EXPECT_EQ(LWaveSaveFormat::Load(8000, 1).Tag(), 0x11);
    const std::string saved = test::ReadFileBytes(target);
    ASSERT_GT(saved.size(), 22u);
    EXPECT_EQ(uint8_t(saved[20]) | uint8_t(saved[21]) << 8, 0x11) << "the file's format tag";
    EXPECT_EQ(LWaveFile::OpenSource(target)->GetError(), 0);
}

TEST(PortDialogs, Mp3DialogEnablesTheControlsOfItsModeAndRestoresTheDefaults)
{
    LMp3EncoderSettings s;
    s.constantBitRate = true;
    s.cbrBitRate = 192;
    s.channelMode = 3;
    s.vbrMaxBitRate = 200;  // not in the list: shown as stored, not changed
    DialogScript script;
    script.Then([](QDialog& d) {
        auto radios = d.findChildren<QRadioButton*>();
        ASSERT_EQ(radios.size(), 2);
        auto combos = d.findChildren<QComboBox*>();
        // Bit rate, minimum, maximum, quality, channel mode.
        ASSERT_EQ(combos.size(), 5);
        EXPECT_TRUE(combos[0]->isEnabled());
        EXPECT_FALSE(combos[1]->isEnabled());
        EXPECT_EQ(combos[0]->currentText(), "192");
        EXPECT_EQ(combos[2]->currentText(), "200");
        EXPECT_EQ(combos[4]->currentText(), "Mono");
        radios[1]->setChecked(true);
        EXPECT_FALSE(combos[0]->isEnabled());
        EXPECT_TRUE(combos[1]->isEnabled() && combos[2]->isEnabled() && combos[3]->isEnabled());
        combos[3]->setCurrentIndex(9);
        PressOk(d);
    });
    ASSERT_TRUE(LMp3EncoderSettings::Dialog(s));
    EXPECT_FALSE(s.constantBitRate);
    EXPECT_EQ(s.vbrQuality, 9);
    EXPECT_EQ(s.vbrMaxBitRate, 200);
    EXPECT_EQ(LMp3EncoderSettings::Read().vbrQuality, 9) << "stored on OK";

    script.Then([](QDialog& d) {
        d.findChild<QPushButton*>("restoreDefaults")->click();
        PressOk(d);
    });
    ASSERT_TRUE(LMp3EncoderSettings::Dialog(s));
    const LMp3EncoderSettings defaults;
    EXPECT_EQ(s.constantBitRate, defaults.constantBitRate);
    EXPECT_EQ(s.vbrMaxBitRate, defaults.vbrMaxBitRate);
    EXPECT_EQ(s.channelMode, defaults.channelMode);
}

TEST(PortDialogs, SelectRegionTakesTypedTimes)
{
    LKVMainWindow w;
    LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("long.wav", 8000, 1, 3.0));
    ASSERT_NE(doc, nullptr);
    DialogScript script;
    script.Then(Fill({{"start", "0:00:02.500"}, {"end", "1.25"}}));
    w.RunCommand(kCmSelectRegion);
    EXPECT_EQ(doc->pos.selStart, 10000);
    EXPECT_EQ(doc->pos.selEnd, 20000) << "a start after the end swaps them";
}
