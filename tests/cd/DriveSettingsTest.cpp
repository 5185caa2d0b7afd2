// The CD settings page's model: virtual drives are checked when added, kept in
// the setting on Save, and numbered after the real drives; the environment's
// are shown but cannot be removed.
#include <gtest/gtest.h>

#include "CdTestSupport.h"
#include "cd/LCDDriveSettings.h"
#include "cd/LCDDrives.h"
#include "core/LSettings.h"
#include "support/TestSupport.h"

namespace {

TEST(CDDriveSettings, AddsCheckedEntriesSavesThemAndKeepsTheEnvironmentsApart)
{
    LCDDrives::SetSystemForTest(test::TempPath("no sys"), nullptr);
    cdtest::MakeBin(test::TempPath("a.bin"), 75);
    test::WriteFileBytes(test::TempPath("a.cue"), "FILE \"a.bin\" BINARY\n TRACK 01 AUDIO\n INDEX 01 00:00:00\n");
    setenv("KELVANE_CD_DRIVES", ("cdr74:" + test::TempPath("env burn")).c_str(), 1);

    LCDDriveSettings page;
    EXPECT_NE(page.Add(test::TempPath("missing.cue")).find("missing.cue"), std::string::npos);
    EXPECT_NE(page.Add("a.cue,b.cue").find("comma"), std::string::npos);
    EXPECT_EQ(page.Add(test::TempPath("a.cue")), "");
    EXPECT_NE(page.Add(test::TempPath("a.cue")).find("already"), std::string::npos);
    EXPECT_EQ(page.Add("cdrw:" + test::TempPath("rw")), "");
    page.Remove("cdrw:" + test::TempPath("rw"));

    const auto rows = page.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].title, "CD-ROM 1 - KELVANE Virtual CD-RW");
    EXPECT_TRUE(rows[0].removable);
    EXPECT_FALSE(rows[1].removable) << rows[1].detail;
    EXPECT_EQ(LCDDrives::Count(), 1) << "nothing is stored before Save";
    ASSERT_TRUE(page.Save());
    EXPECT_EQ(LSettings::ReadString("CD", "VirtualDrives"), test::TempPath("a.cue"));
    EXPECT_EQ(LCDDrives::VirtualEntries(),
              (std::vector<std::string>{test::TempPath("a.cue"), "cdr74:" + test::TempPath("env burn")}));

    unsetenv("KELVANE_CD_DRIVES");
    LCDDrives::SetSystemForTest({}, nullptr);
    LCDDrives::ForgetVirtualDrives();
}

} // namespace
