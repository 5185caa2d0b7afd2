// The CD dialog offscreen over a virtual drive: the no-drive message, the
// drives and tracks with durations, a renamed track, two tracks imported as two
// documents equal to the BIN's audio, and the rip log offered after the rip;
// the lookup and read offset on the settings' CD page.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "cd/LCDDBLookup.h"
#include "cd/LCDDrives.h"
#include "cd/LCDROMRipSectors.h"
#include "core/LSettings.h"
#include "edit/LKVFile.h"
#include "support/TestSupport.h"
#include "ui/CDRipperDlg.h"

using uitest::DialogScript;

namespace {

// Numbers the virtual drives of `entries` from 0, hiding the machine's own.
void UseDrives(const std::string& entries)
{
    const std::string none = test::TempPath("no-drives");
    ::mkdir(none.c_str(), 0755);
    LCDDrives::SetSystemForTest(none, nullptr);
    LCDDrives::ForgetVirtualDrives();
    ::setenv("KELVANE_CD_DRIVES", entries.c_str(), 1);
}

// A three-track disc of 5, 3 and 2 seconds and 21 sectors; its BIN holds a sine per track.
std::string MakeDisc()
{
    const std::string bin = test::TempPath("album.bin");
    EXPECT_EQ(test::Run("sox -q -n -r 44100 -c 2 -b 16 -t raw -e signed -L " + test::Quote(bin) +
                        " synth 0.28 sine 440 : synth 10 sine 220 sine 330"),
              0);
    test::WriteFileBytes(bin, test::ReadFileBytes(bin).substr(0, size_t(771) * 2352));
    const std::string cue = test::TempPath("album.cue");
    test::WriteFileBytes(cue, "FILE \"album.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                              "  TRACK 02 AUDIO\n    INDEX 01 00:05:00\n  TRACK 03 AUDIO\n    INDEX 01 00:08:00\n");
    return cue;
}

std::vector<int32_t> BinAudio(int32_t firstSector, int32_t sectors)
{
    const std::string bytes = test::ReadFileBytes(test::TempPath("album.bin"));
    std::vector<int32_t> v;
    for (size_t at = size_t(firstSector) * 2352; at < size_t(firstSector + sectors) * 2352; at += 2)
        v.push_back(int32_t(int16_t(uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8))) * 16);
    return v;
}

TEST(CDRipperDlg, WithoutDrivesSaysSo)
{
    UseDrives("");
    DialogScript script;
    script.Message(QStringLiteral("Error"), QMessageBox::Ok);
    LKVMainWindow w;
    w.RunCommand(kCmLoadCDTracks);
    ASSERT_EQ(script.texts.size(), 1u);
    EXPECT_EQ(script.texts[0].toStdString(), CDRipperDlg::kNoDrivesMessage);
}

TEST(CDRipperDlg, ListsTracksAndImportsTheSelectedOnesAsDocuments)
{
    const std::string cue = MakeDisc();
    UseDrives(cue + "," + cue + "?nodisc");
    LSettings::SetOverride("CDDB", "Lookup", "0");
    const std::string log = test::TempPath("saved.log");
    DialogScript script;
    script.Then([&](QDialog& d) {
        auto& dialog = static_cast<CDRipperDlg&>(d);
        auto* drives = dialog.findChild<QComboBox*>(QStringLiteral("drives"));
        ASSERT_EQ(drives->count(), 2);
        EXPECT_EQ(drives->itemText(1), QStringLiteral("CD-ROM 2"));
        dialog.LoadTracks(1);
        auto* tracks = dialog.findChild<QTreeWidget*>(QStringLiteral("tracks"));
        EXPECT_EQ(tracks->topLevelItemCount(), 0);
        drives->setCurrentIndex(0);
        ASSERT_EQ(tracks->topLevelItemCount(), 3);
        EXPECT_EQ(tracks->topLevelItem(0)->text(0), QStringLiteral("Track 01"));
        EXPECT_EQ(tracks->topLevelItem(0)->text(1), QStringLiteral("0:05"));
        EXPECT_EQ(tracks->topLevelItem(2)->text(1), QStringLiteral("0:02"));
        EXPECT_EQ(dialog.Disc().cddbId.size(), 8u);
        tracks->topLevelItem(1)->setText(0, QStringLiteral("Renamed"));
        tracks->topLevelItem(0)->setSelected(true);
        tracks->topLevelItem(1)->setSelected(true);
        dialog.accept();
    });
    script.Then([&](QDialog& d) {
        auto& box = static_cast<QMessageBox&>(d);
        EXPECT_NE(box.informativeText().indexOf(QStringLiteral("02  Renamed")), -1) << box.informativeText().toStdString();
        box.findChild<QPushButton*>(QStringLiteral("saveLog"))->click();
    });
    script.Then(uitest::ChooseFile(log));
    LKVMainWindow w;
    w.show();
    w.RunCommand(kCmLoadCDTracks);
    uitest::Settle();
    EXPECT_EQ(script.Pending(), 0u);
    const auto& docs = w.Model().Documents();
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(docs[0]->GetTitle(), "Track 01");
    EXPECT_EQ(docs[1]->GetTitle(), "Renamed");
    EXPECT_TRUE(docs[1]->modified);
    EXPECT_EQ(docs[0]->audio.sampleRate, 44100);
    EXPECT_EQ(docs[0]->audio.channels, 2);
    EXPECT_EQ(test::ReadAll(docs[0]->audio.OpenSource()), BinAudio(0, 375));
    EXPECT_EQ(test::ReadAll(docs[1]->audio.OpenSource()), BinAudio(375, 225));
    const std::string text = test::ReadFileBytes(log);
    EXPECT_NE(text.find("Track 02  Renamed"), std::string::npos) << text;
    EXPECT_NE(text.find("AccurateRip v2:"), std::string::npos);
    LSettings::RemoveOverride("CDDB", "Lookup");
}

TEST(CDRipperDlg, TheSettingsSetTheLookupTheServerAndTheReadOffset)
{
    DialogScript script;
    script.Then([&](QDialog& d) {
        d.findChild<QCheckBox*>("CDDBLookup")->setChecked(false);
        d.findChild<QSpinBox*>("ReadOffset")->setValue(-667);
        auto* server = d.findChild<QLineEdit*>("CDDBServer");
        server->setText(QStringLiteral("cddb.example:0"));
        d.accept();
        EXPECT_TRUE(d.isVisible()) << "stays open after the refusal";
        server->setText(QStringLiteral("cddb.example:8000"));
        d.accept();
    });
    script.Message("Error", QMessageBox::Ok);
    LKVMainWindow w;
    w.RunCommand(kCmSettings);
    EXPECT_TRUE(script.texts.at(1).startsWith("The CDDB server \"cddb.example:0\" is not of the form host or host:port"));
    EXPECT_FALSE(LCDDBLookup::Enabled());
    EXPECT_EQ(LCDDBLookup::Options::FromSettings().server, "cddb.example:8000");
    EXPECT_EQ(LCDROMRipSectors::ReadOffsetSetting(), -667);
    LSettings::WriteInt("CD", "ReadOffset", 0);
    LSettings::WriteBool("CDDB", "Lookup", true);
}

} // namespace
