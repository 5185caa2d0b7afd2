// The frame's menus against the command table, and the enable rule.
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "ui/LKVShortcuts.h"

namespace {

void Collect(QMenu* menu, std::vector<QAction*>& out)
{
    for (QAction* a : menu->actions()) {
        if (a->menu())
            Collect(a->menu(), out);
        else if (a->data().isValid())
            out.push_back(a);
    }
}

std::vector<QAction*> MenuActions(LKVMainWindow& w)
{
    std::vector<QAction*> out;
    for (QAction* top : w.menuBar()->actions())
        if (top->menu())
            Collect(top->menu(), out);
    return out;
}

} // namespace

TEST(Menus, EveryItemShowsItsTextShortcutAndHelpFromTheTable)
{
    LKVMainWindow w;
    std::map<int32_t, int> seen;
    for (QAction* a : MenuActions(w)) {
        const int32_t id = a->data().toInt();
        const LKVCommandInfo* info = LKVFindCommand(id);
        ASSERT_NE(info, nullptr) << "menu item " << id << " " << a->text().toStdString();
        ++seen[id];
        EXPECT_EQ(a->text(), QString::fromUtf8(info->menuText).trimmed()) << id;
        EXPECT_EQ(a->statusTip(), QString::fromUtf8(info->help)) << id;
        EXPECT_EQ(a->shortcuts(), LKVShortcuts(info->shortcut)) << id;
    }
    for (const LKVCommandInfo& c : LKVCommandTable())
        EXPECT_EQ(seen[c.id], 1) << c.id;

    // The shortcuts as a user presses them.
    EXPECT_EQ(w.Action(kCmZoomIn)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Plus));
    EXPECT_TRUE(w.Action(kCmZoomIn)->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Equal)));
    EXPECT_EQ(w.Action(kCmStop)->shortcut(), QKeySequence(Qt::Key_Escape));
    EXPECT_EQ(w.Action(kCmSelectToEnd)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_End));
    EXPECT_EQ(w.Action(kCmOpenBookmarkList)->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
    EXPECT_EQ(w.Action(kCmExit)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
}

TEST(Menus, CommandsFollowTheDocumentAndItsUndoState)
{
    LKVMainWindow w;
    auto enabled = [&](int32_t id) { return w.Action(id)->isEnabled(); };

    for (int32_t id : std::vector<int32_t>{kCmCloseFile, kCmSaveFileAs, kCmSendFile, kCmUndo, kCmCut, kCmSelectRegion, kCmPlay,
                       kCmGoToEnd, kCmAmplify, kCmReverse, kCmZoomIn, kCmArrangeIcons, kCmCloseAll,
                       kCmFrequencyAnalysis, kCmSetBookmark, kCmOpenBookmarkList, kCmAddRegion,
                       kCmCopyFilesToAudioCD, kCmCopyFilesToDataCD})
        EXPECT_FALSE(enabled(id)) << id << " without a document";
    for (int32_t id : std::vector<int32_t>{kCmNewFile, kCmOpenFile, kCmLoadCDTracks, kCmOpenProject, kCmSettings, kCmExit, kCmRecord,
                       kCmBatchConverter, kCmToneGenerator, kCmOpenRegionList, kCmAssembleRegions, kCmHelpContents,
                       kCmAbout})
        EXPECT_TRUE(enabled(id)) << id << " without a document";

    ASSERT_NE(w.Model().OpenFile(uitest::SoxSine("a.wav", 8000, 1, 1.0)), nullptr);
    w.Refresh();
    EXPECT_TRUE(enabled(kCmCut));
    EXPECT_TRUE(enabled(kCmPlay));
    EXPECT_TRUE(enabled(kCmZoomIn));
    EXPECT_FALSE(enabled(kCmSaveFile)) << "nothing changed yet";
    EXPECT_FALSE(enabled(kCmUndo)) << "nothing to undo";
    EXPECT_EQ(w.Action(kCmUndo)->text(), "Undo");

    w.Model().SetSelection(100, 2000, 100);
    w.RunCommand(kCmCut);
    EXPECT_TRUE(enabled(kCmSaveFile));
    EXPECT_TRUE(enabled(kCmUndo));
    EXPECT_EQ(w.Action(kCmUndo)->text(), "Undo Cut");
    w.RunCommand(kCmUndo);
    EXPECT_FALSE(enabled(kCmUndo));

    w.Model().CmCloseAll();
    w.Refresh();
    EXPECT_FALSE(enabled(kCmCut));
}
