// Copy File(s) to CD > Data: the dialog is filled and trimmed, writes an image
// file, and writes the same files onto the virtual recorder.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <cstdlib>

#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "cd/LCDDrives.h"
#include "core/LFile.h"
#include "support/TestSupport.h"
#include "ui/LCDDataDlg.h"

using uitest::DialogScript;

TEST(DataCdDialog, FilledTrimmedAndWrittenToAnImageAndADisc)
{
    LCDDrives::SetSystemForTest(test::TempPath("no sys"), nullptr);
    const std::string disc = test::TempPath("data disc");
    CreateFolders(disc);
    setenv("KELVANE_CD_DRIVES", ("cdr:" + disc).c_str(), 1);
    const std::string top = test::TempPath("to burn");
    CreateFolders(top + "/photos");
    test::WriteFileBytes(top + "/photos/one.jpg", std::string(3000, 'p'));
    test::WriteFileBytes(top + "/notes.txt", "notes");
    test::WriteFileBytes(top + "/drop me.txt", "gone");
    const std::string image = test::TempPath("out.iso");

    LKVMainWindow w;
    ASSERT_NE(w.Model().OpenFile(uitest::SoxSine("take.wav", 8000, 1, 0.5)), nullptr);
    DialogScript script;
    for (bool toImage : {true, false}) {
        script.Then([&](QDialog& d) {
            auto& dialog = dynamic_cast<LCDDataDlg&>(d);
            auto* files = d.findChild<QTreeWidget*>("files");
            auto* write = d.findChild<QPushButton*>("write");
            ASSERT_EQ(files->topLevelItemCount(), 1);  // the document's file
            EXPECT_EQ(files->topLevelItem(0)->text(0), "take.wav");
            dialog.AddPaths({QString::fromStdString(top + "/photos"), QString::fromStdString(top + "/notes.txt"),
                             QString::fromStdString(top + "/drop me.txt")});
            ASSERT_EQ(files->topLevelItemCount(), 4);
            EXPECT_NE(dialog.TotalText().toStdString().find(" in 4 files and 1 folder"), std::string::npos)
                << dialog.TotalText().toStdString();
            files->clearSelection();
            files->findItems("drop me.txt", Qt::MatchExactly).front()->setSelected(true);
            d.findChild<QPushButton*>("remove")->click();
            ASSERT_EQ(files->topLevelItemCount(), 3);
            d.findChild<QLineEdit*>("label")->setText("Backup");
            auto* target = d.findChild<QComboBox*>("target");
            ASSERT_EQ(target->count(), 2);  // the recorder, then an image file
            target->setCurrentIndex(toImage ? 1 : 0);
            if (toImage)
                d.findChild<QLineEdit*>("image")->setText(QString::fromStdString(image));
            EXPECT_TRUE(write->isEnabled());
            write->click();
        });
        w.RunCommand(kCmCopyFilesToDataCD);
        EXPECT_EQ(script.Pending(), 0u);
    }
    for (const std::string& written : {image, disc + "/disc.iso"}) {
        const std::string list = test::TempPath("list.txt");
        ASSERT_EQ(test::Run("isoinfo -R -l -i " + test::Quote(written) + " >" + test::Quote(list)), 0);
        const std::string text = test::ReadFileBytes(list);
        EXPECT_NE(text.find(" one.jpg"), std::string::npos) << text;
        EXPECT_NE(text.find(" notes.txt"), std::string::npos);
        EXPECT_NE(text.find(" take.wav"), std::string::npos);
        EXPECT_EQ(text.find("drop me"), std::string::npos);
    }
    unsetenv("KELVANE_CD_DRIVES");
    LCDDrives::SetSystemForTest({}, nullptr);
    LCDDrives::ForgetVirtualDrives();
}
