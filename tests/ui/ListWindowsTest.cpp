// The bookmark and region windows, driven through their buttons with the real
// message boxes and dialogs answered by script.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "app/LSettingsTable.h"
#include "core/LFile.h"
#include "devices/DeviceTestSupport.h"
#include "devices/LPlayerDevice.h"
#include "edit/LKVFile.h"
#include "formats/LWaveFile.h"
#include "ui/LKVBookMarkDlg.h"
#include "ui/LKVDocumentWindows.h"
#include "ui/LKVRegionDlg.h"

using uitest::DialogScript;

namespace {

// A mono 16-bit WAV of a ramp that never repeats within `frames`, so a copy
// from the wrong place shows.
std::string RampWav(const std::string& name, int32_t frames, int32_t rate)
{
    std::vector<int16_t> values;
    for (int32_t i = 0; i < frames; ++i)
        values.push_back(int16_t(i % 30000 - 15000));
    const std::string path = test::TempPath(name);
    devtest::WriteWav16(path, values, rate, 1);
    return path;
}

// The next dialog is the text dialog titled `title`: `text` is typed and accepted.
DialogScript::Answer Name(const QString& title, const QString& text)
{
    return [title, text](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), title);
        uitest::Type(d, "text", text);
        d.accept();
    };
}

QStringList Column(const LKVListWindow& w, int column)
{
    QStringList texts;
    for (int i = 0; i < w.List().topLevelItemCount(); ++i)
        texts << w.List().topLevelItem(i)->text(column);
    return texts;
}

void Select(LKVListWindow& w, std::initializer_list<int> rows)
{
    w.List().clearSelection();
    for (int row : rows)
        w.List().setCurrentItem(w.List().topLevelItem(row), 0, QItemSelectionModel::Select);
}

void Click(LKVListWindow& w, const char* button)
{
    QPushButton* b = w.Button(button);
    ASSERT_NE(b, nullptr) << button;
    ASSERT_TRUE(b->isEnabled()) << button;
    b->click();
}

QString Plain(QString text) { return text.remove(QLatin1Char('&')); }

// Adds a region of frames [start, end) of the current document, named `name`.
void AddRegion(LKVMainWindow& w, DialogScript& script, int32_t start, int32_t end, const QString& name)
{
    w.Model().SetSelection(start, end, start);
    script.Then(Name("Enter Region Name", name));
    w.RunCommand(kCmAddRegion);
}

std::vector<int32_t> AudioOf(const LCutListAudio& audio) { return test::ReadAll(audio.OpenSource()); }

} // namespace

TEST(BookMarkWindow, AddRenameDeleteAndGoToThroughTheWindow)
{
    LKVSettings::kPlayWhenOpen.Write(false);
    LKVMainWindow w;
    LKVFile* doc = w.Model().OpenFile(RampWav("talk.wav", 16000, 8000));
    ASSERT_NE(doc, nullptr);
    DialogScript script;

    w.RunCommand(kCmOpenBookmarkList);
    LKVBookMarkDlg* list = w.BookMarkWindow();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(list->isModal());
    EXPECT_FALSE(list->Button("goTo")->isEnabled()) << "nothing to go to yet";
    EXPECT_FALSE(list->Button("deleteAll")->isEnabled());

    w.Model().SetSelection(4000, 4000, 4000);
    script.Then(Name("Enter Bookmark Name", "intro"));
    w.RunCommand(kCmSetBookmark);
    w.Model().SetSelection(12000, 12000, 12000);
    script.Then(Name("Enter Bookmark Name", "end"));
    w.RunCommand(kCmSetBookmark);
    EXPECT_EQ(Column(*list, 0), (QStringList{"intro", "end"})) << "the open window follows the list";
    EXPECT_EQ(Column(*list, 1), (QStringList{"0:00:00.50", "0:00:01.50"}));
    EXPECT_EQ(Column(*list, 2), (QStringList{"1", "1"}));
    EXPECT_EQ(w.BookMarkWindow(), list);
    w.RunCommand(kCmOpenBookmarkList);
    EXPECT_EQ(w.BookMarkWindow(), list) << "at most one bookmark window";

    // Rename onto a name in use asks; No asks for another name.
    Select(*list, {1});
    script.Then(Name("Rename Bookmark", "intro"));
    script.Message("BookMark Exist", QMessageBox::No);
    script.Then(Name("Rename Bookmark", "outro"));
    Click(*list, "rename");
    EXPECT_EQ(script.texts.end()[-2], "This bookmark name already exist. Do you want to replace it?");
    EXPECT_EQ(Column(*list, 0), (QStringList{"intro", "outro"}));

    // Go To counts the visit, keeps the row selected and moves the cursor there.
    w.Model().SetSelection(0, 100, 0);
    Select(*list, {1});
    Click(*list, "goTo");
    EXPECT_EQ(doc->pos.cursor, 12000);
    EXPECT_EQ(doc->pos.selStart, 12000);
    EXPECT_EQ(doc->pos.selEnd, 12000);
    EXPECT_EQ(Column(*list, 2), (QStringList{"1", "2"}));
    EXPECT_EQ(list->SelectedRows(), std::vector<size_t>{1});

    // Delete asks; No keeps the bookmarks.
    Select(*list, {0, 1});
    script.Message("Confirm Delete", QMessageBox::No);
    Click(*list, "delete");
    EXPECT_EQ(script.texts.back(), "Delete the selected bookmark(s)?");
    EXPECT_EQ(Column(*list, 0).size(), 2);
    // The Delete key in the list is the Delete command.
    Select(*list, {0});
    script.Message("Confirm Delete", QMessageBox::Yes);
    QTest::keyClick(&list->List(), Qt::Key_Delete);
    EXPECT_EQ(Column(*list, 0), QStringList{"outro"});
    script.Message("Confirm Delete All", QMessageBox::Yes);
    Click(*list, "deleteAll");
    EXPECT_EQ(script.texts.back(), "Delete all selected bookmark(s)?");
    EXPECT_EQ(list->List().topLevelItemCount(), 0);

    // Closing tells the frame; the command opens a new window.
    list->close();
    EXPECT_EQ(w.BookMarkWindow(), nullptr);
    uitest::Settle();
    w.RunCommand(kCmOpenBookmarkList);
    ASSERT_NE(w.BookMarkWindow(), nullptr);
    EXPECT_TRUE(w.BookMarkWindow()->isVisible());
    doc->modified = false;
}

TEST(RegionWindow, RenameDeleteAndGoToThroughTheWindow)
{
    LKVSettings::kPlayWhenOpen.Write(false);
    LKVMainWindow w;
    LKVFile* take = w.Model().OpenFile(RampWav("take.wav", 24000, 8000));
    ASSERT_NE(take, nullptr);
    DialogScript script;
    AddRegion(w, script, 8000, 12000, "first");
    AddRegion(w, script, 16000, 20000, "second");
    w.RunCommand(kCmOpenRegionList);
    LKVRegionDlg* list = w.RegionWindow();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Column(*list, 0), (QStringList{"first", "second"}));
    EXPECT_EQ(Column(*list, 1), (QStringList{"0:00:01.00-0:00:01.50", "0:00:02.00-0:00:02.50"}));
    EXPECT_EQ(Column(*list, 2), (QStringList{"take.wav", "take.wav"}));

    // A name in use asks Yes/No/Cancel: Cancel leaves both, Yes replaces the other.
    Select(*list, {1});
    script.Then(Name("Rename Region", "first"));
    script.Message("Kelvane", QMessageBox::Cancel);
    Click(*list, "rename");
    EXPECT_EQ(script.texts.back(), "Another region with the same name already exists. Do you want to replace it?");
    EXPECT_EQ(Column(*list, 0), (QStringList{"first", "second"}));
    AddRegion(w, script, 0, 800, "third");
    Select(*list, {1});
    script.Then(Name("Rename Region", "first"));
    script.Message("Kelvane", QMessageBox::Yes);
    Click(*list, "rename");
    EXPECT_EQ(Column(*list, 0), (QStringList{"first", "third"}));
    EXPECT_EQ(Column(*list, 1)[0], "0:00:02.00-0:00:02.50") << "the renamed region kept its audio";

    // Go To selects the region's range in its document, which becomes current.
    LKVFile* other = w.Model().OpenFile(RampWav("other.wav", 800, 8000));
    ASSERT_EQ(w.Model().CurrentFile(), other);
    Select(*list, {0});
    Click(*list, "goTo");
    EXPECT_EQ(w.Model().CurrentFile(), take);
    EXPECT_EQ(take->pos.selStart, 16000);
    EXPECT_EQ(take->pos.selEnd, 20000);
    EXPECT_EQ(take->pos.cursor, 16000);

    // Delete asks first.
    Select(*list, {0, 1});
    script.Message("Confirm Delete", QMessageBox::No);
    Click(*list, "delete");
    EXPECT_EQ(script.texts.back(), "Delete the selected region(s)?");
    EXPECT_EQ(list->List().topLevelItemCount(), 2);
    script.Message("Confirm Delete", QMessageBox::Yes);
    Click(*list, "delete");
    EXPECT_EQ(list->List().topLevelItemCount(), 0);
    EXPECT_TRUE(w.Model().Regions().empty());
    EXPECT_FALSE(list->Button("assemble")->isEnabled());
}

TEST(RegionWindow, PlaysARegionWhoseDocumentWasClosed)
{
    LKVSettings::kPlayWhenOpen.Write(false);
    const std::string heard = devtest::UseCapture("region-heard.wav");
    LPlayerDevice player;
    LKVMainWindow w(&player);
    LKVFile* doc = w.Model().OpenFile(RampWav("gone.wav", 20000, 11025));
    ASSERT_NE(doc, nullptr);
    DialogScript script;
    AddRegion(w, script, 3000, 9000, "kept");
    w.RunCommand(kCmCloseFile);
    ASSERT_TRUE(w.Model().Documents().empty());

    w.RunCommand(kCmOpenRegionList);
    LKVRegionDlg* list = w.RegionWindow();
    ASSERT_NE(list, nullptr);
    Select(*list, {0});
    EXPECT_EQ(Plain(list->Button("play")->text()), "Play");
    Click(*list, "play");
    bool sawStop = Plain(list->Button("play")->text()) == "Stop";
    ASSERT_TRUE(devtest::PumpUntil([&] {
        QCoreApplication::processEvents();
        sawStop = sawStop || Plain(list->Button("play")->text()) == "Stop";
        return w.Model().PlayerState() == 0;
    }, 60000));
    uitest::Settle();
    EXPECT_TRUE(sawStop) << "the button reads Stop while the region plays";
    EXPECT_EQ(Plain(list->Button("play")->text()), "Play");
    EXPECT_FALSE(list->Playing());
    const std::vector<int32_t> region = AudioOf(w.Model().Regions()[0].audio);
    ASSERT_EQ(region.size(), 6000u);
    EXPECT_EQ(test::ReadAll(LWaveFile::OpenSource(heard)), region);
    ::unsetenv("KELVANE_AUDIO_OUT");
    ::unsetenv("KELVANE_AUDIO_CLOCK");
}

TEST(RegionWindow, AssemblesRegionsWithAndWithoutTheGap)
{
    LKVSettings::kPlayWhenOpen.Write(false);
    LKVMainWindow w;
    LKVFile* doc = w.Model().OpenFile(RampWav("parts.wav", 30000, 8000));
    ASSERT_NE(doc, nullptr);
    DialogScript script;
    AddRegion(w, script, 0, 1000, "a");
    AddRegion(w, script, 5000, 7000, "b");
    AddRegion(w, script, 20000, 20500, "c");
    w.RunCommand(kCmOpenRegionList);
    LKVRegionDlg* list = w.RegionWindow();
    ASSERT_NE(list, nullptr);
    const LKVRegionList& regions = w.Model().Regions();

    // Puts c, a, b in that order, c from the rows selected in the window when
    // `selected`; the options set the gap.
    auto assemble = [&](bool selected, bool gap, int gapMs) {
        if (selected)
            Select(*list, {2});
        else
            list->List().clearSelection();
        script.Then([&, selected, gap, gapMs](QDialog& d) {
            EXPECT_EQ(d.objectName(), "AssembleRegionDlg");
            auto* available = d.findChild<QListWidget*>("available");
            auto* order = d.findChild<QListWidget*>("order");
            auto* add = d.findChild<QPushButton*>("add");
            EXPECT_EQ(order->count(), selected ? 1 : 0) << "the window's selection starts the order";
            for (int row : selected ? std::vector<int>{0, 1} : std::vector<int>{2, 0, 1}) {
                available->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
                add->click();
            }
            script.Then([gap, gapMs](QDialog& options) {
                EXPECT_EQ(options.objectName(), "AssembleOptionDlg");
                options.findChild<QCheckBox*>("AutoGap")->setChecked(gap);
                options.findChild<QSpinBox*>("AutoGapTime")->setValue(gapMs);
                options.accept();
            });
            d.findChild<QPushButton*>("options")->click();
            const QString summary = d.findChild<QLabel*>("summary")->text();
            EXPECT_EQ(summary.contains(QString::number(gapMs)), gap) << summary.toStdString();
            d.accept();
        });
        Click(*list, "assemble");
        return w.Model().CurrentFile();
    };

    LKVFile* joined = assemble(true, true, 250);
    ASSERT_NE(joined, doc);
    EXPECT_EQ(LKVSettings::kAutoGap.Read(), true);
    EXPECT_EQ(LKVSettings::kAutoGapTime.Read(), 250);
    std::vector<int32_t> expected = AudioOf(regions[2].audio);
    for (size_t r : {0u, 1u}) {
        expected.insert(expected.end(), 2000, 0);  // 250 ms at 8000 Hz
        const std::vector<int32_t> part = AudioOf(regions[r].audio);
        expected.insert(expected.end(), part.begin(), part.end());
    }
    EXPECT_EQ(joined->audio.GetLength(), 500 + 2000 + 1000 + 2000 + 2000);
    EXPECT_EQ(AudioOf(joined->audio), expected);
    EXPECT_TRUE(joined->path.empty()) << "a new untitled document";

    LKVFile* tight = assemble(false, false, 250);
    ASSERT_NE(tight, joined);
    EXPECT_EQ(LKVSettings::kAutoGap.Read(), false);
    expected = AudioOf(regions[2].audio);
    for (size_t r : {0u, 1u}) {
        const std::vector<int32_t> part = AudioOf(regions[r].audio);
        expected.insert(expected.end(), part.begin(), part.end());
    }
    EXPECT_EQ(tight->audio.GetLength(), 3500);
    EXPECT_EQ(AudioOf(tight->audio), expected);
    for (const auto& d : w.Model().Documents())
        d->modified = false;
}

TEST(RegionWindow, ExportRefusesANameWithASeparatorAndWritesTheRest)
{
    LKVSettings::kPlayWhenOpen.Write(false);
    LKVMainWindow w;
    ASSERT_NE(w.Model().OpenFile(RampWav("src.wav", 8000, 8000)), nullptr);
    DialogScript script;
    AddRegion(w, script, 0, 1000, "../escape");
    AddRegion(w, script, 1000, 2000, "fine");
    w.RunCommand(kCmOpenRegionList);
    LKVRegionDlg* list = w.RegionWindow();
    ASSERT_NE(list, nullptr);
    const std::string folder = test::TempPath("exported");
    ASSERT_TRUE(CreateFolders(folder));

    Select(*list, {0, 1});
    script.Then([&](QDialog& d) {
        EXPECT_EQ(d.objectName(), "ExportRegionDlg");
        uitest::Type(d, "folder", QString::fromStdString(folder));
        d.findChild<QComboBox*>("format")->setCurrentIndex(0);
        d.accept();
    });
    script.Message("File Name Invalid", QMessageBox::Ok);
    Click(*list, "export");
    ASSERT_GE(script.texts.size(), 4u);
    EXPECT_EQ(script.texts.back(), "The name of the region \"../escape\" contains characters that are not valid "
                                   "for a file name. Please rename the region.");
    EXPECT_FALSE(FileExists(test::TempPath("escape.wav")));
    EXPECT_TRUE(FileExists(FilePathCat(folder, "fine.wav")));
    EXPECT_EQ(test::ReadAll(LWaveFile::OpenSource(FilePathCat(folder, "fine.wav"))),
              AudioOf(w.Model().Regions()[1].audio));

    // Copy to CD checks the names the same way before anything else.
    Select(*list, {0});
    script.Message("File Name Invalid", QMessageBox::Ok);
    Click(*list, "copyToCD");
}

TEST(ProjectCommands, SaveCloseAndOpenThroughTheirDialogsRefreshTheWindows)
{
    LKVSettings::kPlayWhenOpen.Write(false);
    LKVMainWindow w;
    ASSERT_NE(w.Model().OpenFile(RampWav("song.wav", 8000, 8000)), nullptr);
    DialogScript script;
    AddRegion(w, script, 2000, 6000, "chorus");
    w.RunCommand(kCmOpenRegionList);
    LKVRegionDlg* list = w.RegionWindow();
    ASSERT_NE(list, nullptr);

    const std::string project = test::TempPath("session.kvp");
    script.Then(uitest::ChooseFile(project));
    w.RunCommand(kCmSaveProjectAs);
    EXPECT_EQ(script.titles.back(), "Save Project As");
    ASSERT_TRUE(FileExists(project));
    EXPECT_TRUE(w.windowTitle().contains("session")) << w.windowTitle().toStdString();

    script.Message("Kelvane", QMessageBox::No);
    w.RunCommand(kCmCloseProject);
    EXPECT_EQ(script.texts.back(), "Save changes to current project?");
    EXPECT_TRUE(w.Model().Documents().empty());
    EXPECT_EQ(list->List().topLevelItemCount(), 0) << "the window followed the closed project";

    script.Then(uitest::ChooseFile(project));
    w.RunCommand(kCmOpenProject);
    EXPECT_EQ(script.titles.back(), "Open Project");
    ASSERT_EQ(w.Model().Documents().size(), 1u);
    EXPECT_EQ(Column(*list, 0), QStringList{"chorus"});
    EXPECT_EQ(w.Model().Regions()[0].audio.GetLength(), 4000);
    EXPECT_NE(w.DocumentWindows().WindowOf(w.Model().CurrentFile()), nullptr);
}
