#include <gtest/gtest.h>

#include <map>

#include "app/LKVCommands.h"
#include "app/LKVMenuLayout.h"
#include "app/MainDialog.h"

namespace {

void Count(const std::vector<LKVMenuEntry>& entries, std::map<int32_t, int>& seen)
{
    for (const LKVMenuEntry& e : entries) {
        if (e.kind == LKVMenuEntry::Kind::Command)
            ++seen[e.id];
        if (e.kind == LKVMenuEntry::Kind::Submenu) {
            EXPECT_NE(e.text, nullptr);
            EXPECT_FALSE(e.entries.empty());
            Count(e.entries, seen);
        }
    }
}

} // namespace

TEST(MenuLayout, EveryCommandOfTheTableSitsInExactlyOneMenu)
{
    std::map<int32_t, int> seen;
    std::vector<std::string> titles;
    for (const LKVMenu& m : LKVMenuBar()) {
        titles.push_back(m.title);
        Count(m.entries, seen);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&Edit", "Effec&ts", "&Control", "&Tool", "&Bookmark",
                                                "&Window", "&Help"}));
    for (const LKVCommandInfo& c : LKVCommandTable())
        EXPECT_EQ(seen[c.id], 1) << c.id << " " << c.menuText;
    for (const auto& [id, n] : seen)
        EXPECT_NE(LKVFindCommand(id), nullptr) << "menu command " << id << " is not in the table";
}

TEST(MenuLayout, ContextMenuRepeatsEditAndEffectsWithBookmarkAndRegion)
{
    std::map<int32_t, int> seen;
    Count(LKVDocumentContextMenu(), seen);
    for (int32_t id : std::vector<int32_t>{kCmUndo, kCmCut, kCmCopy, kCmPaste, kCmDelete, kCmCopyToNew, kCmInsertFileEnd, kCmAmplify,
                       kCmReverse, kCmSetBookmark, kCmAddRegion})
        EXPECT_EQ(seen[id], 1) << id;
    EXPECT_EQ(seen[kCmOpenFile], 0);
    EXPECT_EQ(seen[kCmPlay], 0);
}
