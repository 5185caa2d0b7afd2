// The frame: a second instance, key macros, settings, dropped files, closing,
// help, read-outs and the transport.
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "app/LRecentFiles.h"
#include "app/LSettingsTable.h"
#include "devices/LPlayerDevice.h"
#include "formats/LWaveFile.h"
#include "edit/LKVFile.h"
#include "support/TestSupport.h"
#include "ui/LKVDocumentWindows.h"
#include "ui/LKVHelpWindow.h"
#include "ui/LKVReadoutPanel.h"
#include "ui/LKVSingleInstance.h"
#include "ui/LKVTransportBar.h"
#include "ui/LKVVirtualKeys.h"
#include "ui/LKVVolumeControl.h"
#include "ui/LKeyMacroDlg.h"

using uitest::DialogScript;

namespace {

// Runs `kelvane` with `args` from the test folder and waits for it while this
// process's event loop runs (it is the first instance the program talks to).
int RunSecondInstance(const QStringList& args, qint64& elapsedMs)
{
    QProcess second;
    second.setWorkingDirectory(QString::fromStdString(test::HomeDir()));
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    second.start(QStringLiteral(KELVANE_BIN_DIR "/kelvane"), args);
    if (!second.waitForStarted(30000))
        return -1;
    // A guard against a hang, not a speed check.
    while (second.state() != QProcess::NotRunning && clock.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        second.waitForFinished(10);
    }
    elapsedMs = clock.elapsed();
    uitest::Settle();
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -2;
}

} // namespace

TEST(Frame, ASecondInstanceHandsItsFileToTheFirstAndEnds)
{
    LKVMainWindow w;
    w.show();
    LKVSingleInstance first;
    ASSERT_FALSE(first.HandOver({})) << "nobody else is listening";
    first.Ready();
    QObject::connect(&first, &LKVSingleInstance::messageReceived, &w,
                     [&w](int message, const QString& argument) { w.InstanceMessage(message, argument.toStdString()); });

    uitest::SoxSine("handed.wav", 8000, 1, 0.5);
    qint64 ms = 0;
    EXPECT_EQ(RunSecondInstance({"handed.wav"}, ms), 0);
    std::printf("second instance handed its file over and ended in %lld ms\n", static_cast<long long>(ms));
    ASSERT_EQ(w.Model().Documents().size(), 1u);
    EXPECT_EQ(w.Model().CurrentFile()->path, test::TempPath("handed.wav")) << "resolved against its own folder";

    // A file that does not exist is reported by the first instance.
    DialogScript script;
    script.Message("Error", QMessageBox::Ok);
    EXPECT_EQ(RunSecondInstance({"missing.wav"}, ms), 0);
    ASSERT_EQ(script.texts.size(), 1u);
    EXPECT_TRUE(script.texts[0].contains("missing.wav")) << script.texts[0].toStdString();
    EXPECT_EQ(w.Model().Documents().size(), 1u);
}

TEST(Frame, KeyMacrosRunTheirCommandsInsteadOfTheKeysShortcut)
{
    LKVMainWindow w;
    w.show();
    QApplication::setActiveWindow(&w);
    LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("m.wav", 8000, 1, 1.0));
    ASSERT_NE(doc, nullptr);
    w.Model().KeyMacros().Set(LKeyMacros::KeyCode(0x71, false, true, false), {kCmSelectAll, kCmCut});
    // F9 is Play's shortcut; its macro wins, so no "not available" message comes.
    w.Model().KeyMacros().Set(LKeyMacros::KeyCode(0x78, false, false, false), {kCmSelectAll});

    QTest::keyClick(&w, Qt::Key_F9);
    EXPECT_EQ(doc->pos.selEnd, 8000);
    QTest::keyClick(&w, Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(doc->audio.GetLength(), 0);
    EXPECT_EQ(w.Action(kCmUndo)->text(), "Undo Cut");
    QTest::keyClick(&w, Qt::Key_F2);  // no macro without Ctrl
    EXPECT_EQ(doc->audio.GetLength(), 0);
}

TEST(Frame, MacroKeysAreCapturedAsVirtualKeyCodes)
{
    EXPECT_EQ(LKVVirtualKey(Qt::Key_F12, false), 0x7B);
    EXPECT_EQ(LKVVirtualKey(Qt::Key_5, true), 0x65) << "keypad 5";
    EXPECT_EQ(LKVVirtualKey(Qt::Key_Exclam, false), '1') << "Shift+1 on a US keyboard";
    EXPECT_EQ(LKVVirtualKey(Qt::Key_Plus, false), 0xBB);
    EXPECT_EQ(LKVVirtualKey(Qt::Key_Plus, true), 0x6B);

    LKeyCaptureEdit edit;
    int refused = 0;
    QObject::connect(&edit, &LKeyCaptureEdit::refused, [&] { ++refused; });
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(&edit, key);
    QTest::keyClick(&edit, Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(refused, 3) << "a modifier alone is not refused, it starts a combination";
    EXPECT_EQ(edit.Code(), 0u);
    QTest::keyClick(&edit, Qt::Key_F3, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(edit.Code(), 0x20000u | 0x40000u | 0x72u);
    EXPECT_EQ(edit.text(), "Ctrl+Shift+F3");
}

TEST(Frame, KeyMacroEditorStoresWhatWasBuiltInKeysDat)
{
    LKVMainWindow w;
    DialogScript script;
    script.Then([](QDialog& d) {
        auto* key = d.findChild<LKeyCaptureEdit*>("key");
        QTest::keyClick(key, Qt::Key_F6, Qt::AltModifier);
        auto* commands = d.findChild<QListWidget*>("commands");
        for (int32_t id : {kCmSelectAll, kCmCopy})
            for (int i = 0; i < commands->count(); ++i)
                if (commands->item(i)->data(Qt::UserRole).toInt() == id) {
                    commands->setCurrentRow(i);
                    d.findChild<QPushButton*>("addCommand")->click();
                }
        // A key with no commands is dropped on OK.
        QTest::keyClick(key, Qt::Key_F7, Qt::AltModifier);
        d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    w.ShowKeyMacros();
    LKeyMacros stored;
    ASSERT_EQ(stored.Load(LKeyMacros::FilePath()), LKeyMacros::Result::Ok);
    ASSERT_EQ(stored.Macros().size(), 1u);
    EXPECT_EQ(stored.Macros()[0].key, LKeyMacros::KeyCode(0x75, true, false, false));
    EXPECT_EQ(stored.Macros()[0].commands, (std::vector<int32_t>{kCmSelectAll, kCmCopy}));
}

TEST(Frame, SettingsRefuseAMissingWorkingFolderAndANewOneClosesTheEditor)
{
    LKVMainWindow w;
    w.show();
    const std::string folder = test::TempPath("segments");
    ::mkdir(folder.c_str(), 0700);
    DialogScript script;
    script.Then([&](QDialog& d) {
        d.findChild<QCheckBox*>("PlayWhenOpen")->setChecked(false);
        d.findChild<QLineEdit*>("WorkingFolder")->setText(QString::fromStdString(test::TempPath("nowhere")));
        d.accept();
        EXPECT_TRUE(d.isVisible()) << "stays open after the refusal";
        d.findChild<QLineEdit*>("WorkingFolder")->setText(QString::fromStdString(folder));
        d.accept();
    });
    script.Message("Error", QMessageBox::Ok);
    script.Message("Shut Down Required", QMessageBox::Ok);
    w.RunCommand(kCmSettings);
    EXPECT_EQ(script.texts.at(1), "The working folder that you entered does not exist. Please try again.");
    EXPECT_TRUE(script.texts.at(2).startsWith("Kelvane will now close because you changed the audio working folder."));
    EXPECT_EQ(LKVSettings::kWorkingFolder.Read(), folder);
    EXPECT_FALSE(LKVSettings::kPlayWhenOpen.Read());
    EXPECT_FALSE(w.isVisible());
}

TEST(Frame, DroppedFilesOpenAndBadOnesGiveTheLoadsMessage)
{
    LKVMainWindow w;
    w.show();
    const std::string good = uitest::SoxSine("dropped.wav", 8000, 1, 0.5);
    const std::string garbage = test::TempPath("noise.mp3");
    test::WriteFileBytes(garbage, std::string(3000, 'x'));
    auto drop = [&](const std::vector<std::string>& paths) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const std::string& p : paths)
            urls << QUrl::fromLocalFile(QString::fromStdString(p));
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent event(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &event);
        uitest::Settle();
    };
    DialogScript script;
    script.Message("Error", QMessageBox::Ok);
    script.Message("Error", QMessageBox::Ok);
    drop({test::HomeDir(), garbage, good});
    ASSERT_EQ(script.texts.size(), 2u);
    EXPECT_TRUE(script.texts[1].contains("noise.mp3")) << script.texts[1].toStdString();
    ASSERT_EQ(w.Model().Documents().size(), 1u) << "only the good file opened";
    EXPECT_EQ(w.Model().CurrentFile()->path, good);
    EXPECT_EQ(w.Area().subWindowList().size(), 1);
}

TEST(Frame, ExitAsksForUnsavedFilesAndCancelKeepsEverything)
{
    LKVMainWindow w;
    w.show();
    const std::string path = uitest::SoxSine("unsaved.wav", 8000, 1, 0.5);
    const std::string before = test::ReadFileBytes(path);
    LKVFile* doc = w.Model().OpenFile(path);
    ASSERT_NE(doc, nullptr);
    w.Model().SetSelection(0, 100, 0);
    w.RunCommand(kCmDelete);

    DialogScript script;
    script.Message("Kelvane", QMessageBox::Cancel);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.Model().Documents().size(), 1u);
    EXPECT_TRUE(doc->modified);

    script.Message("Kelvane", QMessageBox::No);
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(w.Model().Documents().empty());
    EXPECT_EQ(LRecentFiles::PathOf(LRecentFiles::kFirstCommand), path);
    EXPECT_EQ(test::ReadFileBytes(path), before) << "the file on disk was not touched";

    // The recent file is offered in the File menu and reopens.
    LKVMainWindow again;
    QMenu* file = again.menuBar()->actions().front()->menu();
    emit file->aboutToShow();
    QAction* recent = file->findChild<QAction*>(QStringLiteral("cm%1").arg(LRecentFiles::kFirstCommand));
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->text(), QString::fromStdString("&1. " + path));
    recent->trigger();
    ASSERT_NE(again.Model().CurrentFile(), nullptr);
    EXPECT_EQ(again.Model().CurrentFile()->path, path);
}

TEST(Frame, ReadoutsFollowTheCurrentDocument)
{
    LKVMainWindow w;
    w.show();
    EXPECT_EQ(w.Readouts().Texts(),
              (QStringList{"0:00:00.00", "0:00:00.00", "0:00:00.000", "0:00:00.00", "0:00:00.00", ""}));
    LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("r.wav", 8000, 2, 2.0));
    ASSERT_NE(doc, nullptr);
    w.Model().SetSelection(4000, 10000, 6000);
    EXPECT_EQ(w.Readouts().Texts(), (QStringList{"0:00:00.50", "0:00:01.25", "0:00:00.750", "0:00:00.75",
                                                 "0:00:02.00", "Sample Rate: 8000   Stereo"}));
    w.Model().CmCloseAll();
    EXPECT_EQ(w.Readouts().Texts().last(), "");
}

TEST(Frame, TheTransportPlaysTheDocumentAndItsButtonsFollow)
{
    const std::string heard = test::TempPath("heard.wav");
    ::setenv("KELVANE_AUDIO_OUT", ("capture:" + heard).c_str(), 1);
    ::setenv("KELVANE_AUDIO_CLOCK", "free", 1);
    LPlayerDevice player;
    LKVMainWindow w(&player);
    w.show();
    EXPECT_EQ(w.Transport().Volume()->Db(), 0) << "\"PlayVolume\" as stored, the audio as it is";
    const std::string source = uitest::SoxSine("played.wav", 22050, 2, 1.5);
    LKVFile* doc = w.Model().OpenFile(source);  // plays at once ("PlayWhenOpen")
    ASSERT_NE(doc, nullptr);
    bool sawPlaying = false;
    QElapsedTimer guard;
    guard.start();
    while (w.Model().PlayerState() != 0 && guard.elapsed() < 60000) {
        sawPlaying = sawPlaying || w.Transport().Playing();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    uitest::Settle();
    EXPECT_TRUE(sawPlaying) << "the play and stop buttons swap while playing";
    EXPECT_FALSE(w.Transport().Playing());
    EXPECT_EQ(test::ReadAll(LWaveFile::OpenSource(heard)), test::ReadAll(LWaveFile::OpenSource(source)));
    EXPECT_EQ(doc->pos.cursor, doc->audio.GetLength()) << "the cursor followed playback to the end";

    w.Transport().Volume()->Slider()->setValue(-36);
    EXPECT_EQ(LKVSettings::kPlayVolume.Read(), -36);
    EXPECT_EQ(w.Model().PlayVolume(), -36);
    ::unsetenv("KELVANE_AUDIO_OUT");
    ::unsetenv("KELVANE_AUDIO_CLOCK");
}

TEST(Frame, CommandsWithoutTheirWindowSayTheyAreNotAvailable)
{
    LKVMainWindow w;
    ASSERT_NE(w.Model().OpenFile(uitest::SoxSine("n.wav", 8000, 1, 0.5)), nullptr);
    DialogScript script;
    // Every command of the menus has its window now; one outside them says so.
    script.Message("Kelvane", QMessageBox::Ok);
    w.RunCommand(6999);
    EXPECT_EQ(script.texts, (std::vector<QString>{"Command 6999 is not available in this build of Kelvane."}));
}

TEST(Frame, WindowMenuListsTheDocumentsAndTilesThem)
{
    LKVMainWindow w;
    w.resize(800, 600);
    w.show();
    LKVFile* a = w.Model().OpenFile(uitest::SoxSine("one.wav", 8000, 1, 0.2));
    LKVFile* b = w.Model().OpenFile(uitest::SoxSine("two.wav", 8000, 1, 0.2));
    ASSERT_TRUE(a && b);
    QMenu* window = nullptr;
    for (QAction* top : w.menuBar()->actions())
        if (top->text() == "&Window")
            window = top->menu();
    ASSERT_NE(window, nullptr);
    emit window->aboutToShow();
    QStringList listed;
    QAction* first = nullptr;
    for (QAction* act : window->actions())
        if (act->data().toInt() >= 11000) {
            listed << act->text() + (act->isChecked() ? " (active)" : "");
            if (!first)
                first = act;
        }
    EXPECT_EQ(listed, (QStringList{"&1 one.wav", "&2 two.wav (active)"}));
    first->trigger();
    EXPECT_EQ(w.Model().CurrentFile(), a);

    w.RunCommand(kCmTileHorizontal);
    const QRect ra = w.DocumentWindows().SubWindowOf(a)->geometry();
    const QRect rb = w.DocumentWindows().SubWindowOf(b)->geometry();
    EXPECT_FALSE(w.DocumentWindows().SubWindowOf(a)->isMaximized());
    EXPECT_EQ(ra.width(), rb.width());
    EXPECT_LE(ra.bottom(), rb.top()) << "one above the other";
}

TEST(Frame, HelpShowsTheManualWithEveryCommandAndItsShortcut)
{
    LKVMainWindow w;
    w.RunCommand(kCmHelpContents);
    LKVHelpWindow* help = w.HelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->Browser()->toPlainText().contains("Opening, creating and saving files"));
    help->Browser()->setSource(QUrl("qrc:/manual/commands.html"));
    const QString commands = help->Browser()->toPlainText();
    for (const LKVCommandInfo& c : LKVCommandTable())
        EXPECT_TRUE(commands.contains(QString::fromUtf8(c.help))) << c.id;
    EXPECT_TRUE(commands.contains("Insert Silence: Current"));
    EXPECT_TRUE(commands.contains("Ctrl+Shift+S"));
}

TEST(Frame, SpacePlaysAndStopsDeleteDeletesRedoHasItsKeysAndMacrosStillWin)
{
    const std::string heard = test::TempPath("space.wav");
    ::setenv("KELVANE_AUDIO_OUT", ("capture:" + heard).c_str(), 1);
    LKVSettings::kPlayWhenOpen.Write(false);
    LKVSettings::kAutoPlaybackAfterEffects.Write(false);
    LPlayerDevice player;
    LKVMainWindow w(&player);
    w.show();
    // Long enough that it is still playing, in real time, when Space comes again.
    const std::string source = uitest::SoxSine("long.wav", 8000, 1, 60.0);
    LKVFile* doc = w.Model().OpenFile(source);
    ASSERT_NE(doc, nullptr);
    // The keys go to the frame once the load's progress window is gone.
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    QTest::keyClick(&w, Qt::Key_Space);
    EXPECT_NE(w.Model().PlayerState() & LPlayerDevice::kActive, 0) << "Space plays";
    QTest::keyClick(&w, Qt::Key_Space);
    uitest::Settle();
    EXPECT_EQ(w.Model().PlayerState(), 0) << "and stops";
    const std::vector<int32_t> played = test::ReadAll(LWaveFile::OpenSource(heard));
    const std::vector<int32_t> all = test::ReadAll(LWaveFile::OpenSource(source));
    ASSERT_LT(played.size(), all.size());
    EXPECT_TRUE(std::equal(played.begin(), played.end(), all.begin())) << "what played is the document's start";
    ::unsetenv("KELVANE_AUDIO_OUT");

    w.Model().SetSelection(0, 1000, 0);
    QTest::keyClick(&w, Qt::Key_Delete);
    EXPECT_EQ(doc->audio.GetLength(), 479000);
    w.Model().SetSelection(0, 2000, 0);
    QTest::keyClick(&w, Qt::Key_Backspace);
    EXPECT_EQ(doc->audio.GetLength(), 477000);
    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc->audio.GetLength(), 479000);
    EXPECT_EQ(w.Action(kCmRedo)->text(), "Redo Delete");
    QTest::keyClick(&w, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(doc->audio.GetLength(), 477000);
    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(doc->audio.GetLength(), 477000);

    QTest::keyClick(&w, Qt::Key_End);
    EXPECT_EQ(doc->pos.cursor, 477000);
    QTest::keyClick(&w, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(std::pair(doc->pos.selStart, doc->pos.selEnd), std::pair(0, 477000));

    // A macro on Space takes it from Play.
    w.Model().KeyMacros().Set(LKeyMacros::KeyCode(0x20, false, false, false), {kCmGoToStart});
    QTest::keyClick(&w, Qt::Key_Space);
    EXPECT_EQ(w.Model().PlayerState(), 0);
    EXPECT_EQ(doc->pos.cursor, 0);
}
