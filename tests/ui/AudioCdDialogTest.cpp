// The region window's Copy to CD: the names are checked, the dialog lists the
// regions with the total, and a burn onto the virtual recorder holds them.
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <cstdlib>

#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "app/LSettingsTable.h"
#include "cd/LCDDrives.h"
#include "core/LFile.h"
#include "core/SampleConvert.h"
#include "edit/LKVFile.h"
#include "support/TestSupport.h"
#include "ui/LCDBurnDlg.h"
#include "ui/LKVRegionDlg.h"

using uitest::DialogScript;

namespace {

void AddRegion(LKVMainWindow& w, DialogScript& script, int32_t start, int32_t end, const QString& name)
{
    w.Model().SetSelection(start, end, start);
    script.Then([name](QDialog& d) {
        uitest::Type(d, "text", name);
        d.accept();
    });
    w.RunCommand(kCmAddRegion);
}

// A region's audio as the disc holds it (44100 Hz stereo, 16 bits).
std::string DiscBytes(const LCutListAudio& audio)
{
    const std::vector<int32_t> v = test::ReadAll(LCDBurnAudioSCSI::DiscSource(audio.OpenSource()));
    std::string out(v.size() * 2, '\0');
    SamplesToPcm16LE(reinterpret_cast<uint8_t*>(out.data()), v.data(), int32_t(v.size()));
    return out;
}

} // namespace

TEST(AudioCdDialog, RegionsBecomeTracksOfTheBurnedDisc)
{
    LCDDrives::SetSystemForTest(test::TempPath("no sys"), nullptr);
    const std::string disc = test::TempPath("disc");
    setenv("KELVANE_CD_DRIVES", ("cdr:" + disc).c_str(), 1);
    LKVSettings::kPlayWhenOpen.Write(false);
    LKVMainWindow w;
    ASSERT_NE(w.Model().OpenFile(uitest::SoxSine("music.wav", 22050, 1, 6.0)), nullptr);
    DialogScript script;
    AddRegion(w, script, 0, 22050, "Opening");
    AddRegion(w, script, 44100, 88200, "Theme");
    AddRegion(w, script, 100000, 110000, "bad/name");
    w.RunCommand(kCmOpenRegionList);
    LKVRegionDlg* list = w.RegionWindow();
    ASSERT_NE(list, nullptr);

    // A name that cannot name a file stops before the dialog.
    list->List().clearSelection();
    for (int row : {0, 2})
        list->List().setCurrentItem(list->List().topLevelItem(row), 0, QItemSelectionModel::Select);
    script.Message("File Name Invalid", QMessageBox::Ok);
    list->Button("copyToCD")->click();
    EXPECT_TRUE(script.texts.back().startsWith("The name of the region \"bad/name\" contains characters that are not "
                                               "valid for a file name."));

    list->List().clearSelection();
    for (int row : {1, 0})
        list->List().setCurrentItem(list->List().topLevelItem(row), 0, QItemSelectionModel::Select);
    int32_t result = -1;
    script.Then([&](QDialog& d) {
        auto& dialog = dynamic_cast<LCDBurnDlg&>(d);
        auto* tracks = d.findChild<QTreeWidget*>("tracks");
        ASSERT_EQ(tracks->topLevelItemCount(), 2);
        EXPECT_EQ(tracks->topLevelItem(0)->text(1), "Opening");
        EXPECT_EQ(tracks->topLevelItem(1)->text(2), "0:00:02");
        EXPECT_EQ(dialog.DiscText(), "blank CD-R, 80 min");
        EXPECT_EQ(dialog.TotalText(), "Total 0:00:05 of 1:20:00 (from the disc's ATIP)");
        result = dialog.Burn();
        d.accept();
    });
    list->Button("copyToCD")->click();
    EXPECT_EQ(result, kJobDone);
    EXPECT_EQ(script.Pending(), 0u);

    // Track 1 (1 s: 75 sectors), the pause, track 2 (2 s).
    const std::string bin = test::ReadFileBytes(disc + "/disc.bin");
    const LKVRegionList& regions = w.Model().Regions();
    ASSERT_EQ(bin.size(), size_t(75 + 150 + 150) * 2352);
    EXPECT_TRUE(bin.substr(0, 75 * 2352) == DiscBytes(regions[0].audio));
    EXPECT_TRUE(bin.substr(225 * 2352) == DiscBytes(regions[1].audio));
    EXPECT_TRUE(LCDBurnSettings::Read().internal);

    unsetenv("KELVANE_CD_DRIVES");
    LCDDrives::SetSystemForTest({}, nullptr);
    LCDDrives::ForgetVirtualDrives();
}
