// Rules of the frame that need no window: placement, the working folder
// and command names.
#include <gtest/gtest.h>

#include "app/LKVCommands.h"
#include "app/LKVMenuLayout.h"
#include "app/LKVWindowPlacement.h"
#include "app/LKVWorkingFolder.h"
#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "support/TestSupport.h"

namespace S = LKVSettings;

TEST(FrameRules, PlacementFitsTheDesktopAndIsStoredAsTheWindowWas)
{
    const LKVRect desktop{0, 0, 1280, 800};
    EXPECT_EQ(LKVWindowPlacement::FitInside({160, 80, 740, 627}, desktop), (LKVRect{160, 80, 740, 627}));
    EXPECT_EQ(LKVWindowPlacement::FitInside({-50, 700, 740, 627}, desktop), (LKVRect{0, 173, 740, 627}));
    EXPECT_EQ(LKVWindowPlacement::FitInside({900, 10, 2000, 900}, desktop), (LKVRect{0, 0, 1280, 800}));
    EXPECT_EQ(LKVWindowPlacement::FitInside({INT32_MAX - 10, INT32_MIN, 740, 627}, desktop),
              (LKVRect{540, 0, 740, 627}));

    const LKVWindowPlacement defaults = LKVWindowPlacement::Read();
    EXPECT_EQ(defaults.rect, (LKVRect{160, 80, 740, 627}));
    EXPECT_TRUE(defaults.maximized);

    LKVWindowPlacement::Save({1000, 50, 500, 400}, false, false, desktop);
    EXPECT_EQ(LKVWindowPlacement::Read().rect, (LKVRect{1000, 50, 280, 400})) << "right edge cut to the desktop";
    EXPECT_FALSE(LKVWindowPlacement::Read().maximized);
    LKVWindowPlacement::Save({0, 0, 10, 10}, false, true, desktop);
    EXPECT_EQ(LKVWindowPlacement::Read().rect.width, 280) << "nothing stored while minimized";
    LKVWindowPlacement::Save({0, 0, 10, 10}, true, false, desktop);
    EXPECT_TRUE(LKVWindowPlacement::Read().maximized);
    EXPECT_EQ(LKVWindowPlacement::Read().rect.width, 280) << "a maximized window keeps its restored rectangle";
}

TEST(FrameRules, AWorkingFolderMustExistToBeTaken)
{
    namespace W = LKVWorkingFolder;
    const std::string home = test::HomeDir();
    EXPECT_EQ(W::Check("", ""), W::Change::Unchanged);
    EXPECT_EQ(W::Check("  " + home + "/ ", home), W::Change::Unchanged);
    EXPECT_EQ(W::Check(home + "/none", ""), W::Change::Missing);
    EXPECT_EQ(W::Check(home, ""), W::Change::Changed);
    EXPECT_EQ(W::Check("", home), W::Change::Changed) << "back to the default folder";
    EXPECT_EQ(W::Normalize(" /data/kelvane// "), "/data/kelvane");
}

TEST(FrameRules, CommandNamesSayWhichSubmenuTheyComeFrom)
{
    EXPECT_EQ(LKVCommandName(kCmOpenFile), "Open File");
    EXPECT_EQ(LKVCommandName(kCmInsertSilenceBegin), "Insert Silence: Begin");
    EXPECT_EQ(LKVCommandName(kCmInsertFileEnd), "Insert File: End");
    EXPECT_EQ(LKVCommandName(kCmCopyFilesToAudioCD), "Copy File(s) to CD: Audio");
    EXPECT_EQ(LKVCommandName(kCmConvertMono), "Convert Channels: Mono");
    EXPECT_EQ(LKVCommandName(kCmFrequencyAnalysis), "Frequency Analysis (FFT)");
    EXPECT_EQ(LKVCommandName(1052), "Recent File 3");
}
