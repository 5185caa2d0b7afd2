// Documents and their child windows.
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWindow>
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "support/TestSupport.h"
#include "app/LKVCommands.h"
#include "edit/LKVFile.h"
#include "ui/LKVAppInfo.h"
#include "ui/LKVDocumentWindows.h"
#include "ui/LKVFileWindow.h"

using uitest::DialogScript;

TEST(DocumentWindows, EachOpenDocumentHasOneWindowAndActivationFollowsTheModel)
{
    LKVMainWindow w;
    w.show();
    const std::string a = uitest::SoxSine("a.wav", 8000, 1, 0.5);
    const std::string b = uitest::SoxSine("b.wav", 8000, 2, 0.5);
    LKVFile* docA = w.Model().OpenFile(a);
    LKVFile* docB = w.Model().OpenFile(b);
    ASSERT_TRUE(docA && docB);
    EXPECT_EQ(w.Area().subWindowList().size(), 2);
    EXPECT_EQ(w.Area().activeSubWindow(), w.DocumentWindows().SubWindowOf(docB));

    // Opening an open file only brings its window forward.
    EXPECT_EQ(w.Model().OpenFile(a), docA);
    EXPECT_EQ(w.Area().subWindowList().size(), 2);
    EXPECT_EQ(w.Area().activeSubWindow(), w.DocumentWindows().SubWindowOf(docA));

    // Activating a window makes its document current.
    w.Area().setActiveSubWindow(w.DocumentWindows().SubWindowOf(docB));
    EXPECT_EQ(w.Model().CurrentFile(), docB);
    EXPECT_EQ(w.DocumentWindows().SubWindowOf(docB)->windowTitle(), "b.wav[*]");

    // The window's close button closes the document; the other becomes current.
    w.DocumentWindows().SubWindowOf(docB)->close();
    uitest::Settle();
    ASSERT_EQ(w.Model().Documents().size(), 1u);
    EXPECT_EQ(w.Model().CurrentFile(), docA);
    EXPECT_EQ(w.Area().subWindowList().size(), 1);
    EXPECT_EQ(w.Area().activeSubWindow(), w.DocumentWindows().SubWindowOf(docA));
}

TEST(DocumentWindows, TheFrameTitleNamesTheProgramOnce)
{
    const QString testName = QGuiApplication::applicationName();
    LKVNameApplication();
    // Qt adds a display name to every window title that does not end with it;
    // with none set, the display name is the application's name, whatever that is.
    QGuiApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName().toStdString(), "probe") << "no display name of its own";
    QGuiApplication::setApplicationName(testName);

    LKVMainWindow w;
    w.show();
    EXPECT_EQ(w.windowHandle()->title().toStdString(), "Kelvane");
    LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("music.wav", 8000, 1, 0.5));
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(w.DocumentWindows().SubWindowOf(doc)->isMaximized());
    EXPECT_EQ(w.windowHandle()->title().toStdString(), "Kelvane - [music.wav]");
}

TEST(DocumentWindows, ClosingAChangedDocumentAsksAndCancelKeepsIt)
{
    LKVMainWindow w;
    w.show();
    LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("c.wav", 8000, 1, 0.5));
    ASSERT_NE(doc, nullptr);
    w.Model().SetSelection(0, 1000, 0);
    w.RunCommand(kCmDelete);
    EXPECT_EQ(w.DocumentWindows().SubWindowOf(doc)->windowTitle(), "c.wav[*]");
    EXPECT_TRUE(w.DocumentWindows().SubWindowOf(doc)->isWindowModified());

    DialogScript script;
    script.Message("Kelvane", QMessageBox::Cancel);
    w.DocumentWindows().SubWindowOf(doc)->close();
    uitest::Settle();
    ASSERT_EQ(w.Model().Documents().size(), 1u);
    ASSERT_EQ(script.texts.size(), 1u);
    EXPECT_TRUE(script.texts[0].startsWith("Save changes to \"")) << script.texts[0].toStdString();

    script.Message("Kelvane", QMessageBox::No);
    w.RunCommand(kCmCloseFile);
    EXPECT_TRUE(w.Model().Documents().empty());
    EXPECT_TRUE(w.Area().subWindowList().isEmpty());
}

TEST(DocumentWindows, AFileThatFailsToOpenLeavesNoWindow)
{
    LKVMainWindow w;
    const std::string bad = test::TempPath("broken.wav");
    test::WriteFileBytes(bad, "RIFF but not really a wave file");
    DialogScript script;
    script.Message("Error", QMessageBox::Ok);
    EXPECT_EQ(w.Model().OpenFile(bad), nullptr);
    EXPECT_TRUE(w.Area().subWindowList().isEmpty());
    ASSERT_EQ(script.texts.size(), 1u);
    EXPECT_TRUE(script.texts[0].contains("because it is corrupt")) << script.texts[0].toStdString();
}
