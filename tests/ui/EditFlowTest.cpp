// Editing through the frame's own actions, the progress window and the clipboard.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "core/LProgressDialog.h"
#include "edit/LKVFile.h"
#include "formats/LKVSaveToSink.h"
#include "support/TestSupport.h"
#include "ui/LKVDocumentWindows.h"
#include "ui/LKVFileWindow.h"
#include "ui/LQtProgressDialog.h"
#include "ui/LWaveMimeData.h"

using uitest::DialogScript;

namespace {

DialogScript::Answer SelectTimes(const char* start, const char* end)
{
    return [start, end](QDialog& d) {
        uitest::Type(d, "start", start);
        uitest::Type(d, "end", end);
        d.accept();
    };
}

// A shortcut pressed in the frame, which becomes the active window again after
// a dialog, as a window manager would make it.
void Keys(QWidget& w, Qt::Key key)
{
    QApplication::setActiveWindow(&w);
    QTest::keyClick(&w, key, Qt::ControlModifier);
    uitest::Settle();
}

} // namespace

TEST(EditFlow, OpenCutUndoPasteSaveThroughTheMenusEqualsTheModelAlone)
{
    const std::string source = uitest::SoxSine("take.wav", 11025, 2, 3.0);
    const std::string viaGui = test::TempPath("gui.wav");
    const std::string viaModel = test::TempPath("model.wav");

    LKVMainWindow w;
    w.show();
    QApplication::setActiveWindow(&w);
    DialogScript script;
    script.Then(uitest::ChooseFile(source));
    Keys(w, Qt::Key_O);
    LKVFile* doc = w.Model().CurrentFile();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(w.Area().subWindowList().size(), 1);

    script.Then(SelectTimes("0:00:01.000", "0:00:02.500"));
    Keys(w, Qt::Key_G);
    Keys(w, Qt::Key_X);
    EXPECT_EQ(doc->audio.GetLength(), 33075 - 16537) << "1.5 s cut out";
    Keys(w, Qt::Key_Z);
    EXPECT_EQ(doc->audio.GetLength(), 33075);
    script.Then(SelectTimes("0", "0"));
    Keys(w, Qt::Key_G);
    Keys(w, Qt::Key_V);
    EXPECT_EQ(doc->audio.GetLength(), 33075 + 16537);
    EXPECT_EQ(w.Action(kCmUndo)->text(), "Undo Paste");
    EXPECT_TRUE(w.DocumentWindows().SubWindowOf(doc)->isWindowModified());
    script.Then(uitest::ChooseFile(viaGui));
    w.Action(kCmSaveFileAs)->trigger();
    EXPECT_FALSE(doc->modified);
    EXPECT_FALSE(w.Action(kCmSaveFile)->isEnabled());

    // The same edits on the model alone.
    MainDialog model;
    LKVFile* alone = model.OpenFile(source);
    ASSERT_NE(alone, nullptr);
    model.SetSelection(11025, 27562, 11025);
    model.CmCut();
    model.CmUndo();
    model.SetSelection(0, 0, 0);
    model.CmPaste();
    LKVSaveToSink::Data data{&alone->audio, viaModel, false};
    ASSERT_EQ(RunJob("Saving...", [&](LProgressDialog& d) { return LKVSaveToSink::Process(d, data); }), kJobDone);
    EXPECT_EQ(test::ReadFileBytes(viaGui), test::ReadFileBytes(viaModel));
}

TEST(EditFlow, CancelInTheProgressWindowStopsALoadAndLeavesNothingBehind)
{
    LKVMainWindow w;
    w.show();
    LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("short.wav", 8000, 1, 1.0));
    ASSERT_NE(doc, nullptr);
    const std::string big = uitest::SoxSine("big.wav", 44100, 2, 40.0);

    // Presses Cancel once the window shows its text and the bar has moved.
    QString line0;
    int percent = 0;
    std::function<void()> watch = [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<LQtProgressDialog*>(top); p && p->isVisible()) {
                auto* bar = p->findChild<QProgressBar*>();
                if (bar->value() > 0) {
                    line0 = p->findChild<QLabel*>("line0")->text();
                    percent = bar->value();
                    p->findChild<QPushButton*>()->click();
                    return;
                }
            }
        QTimer::singleShot(0, watch);
    };
    QTimer::singleShot(0, watch);
    EXPECT_EQ(w.Model().OpenFile(big), nullptr);
    EXPECT_EQ(line0, "Loading file big.wav");
    EXPECT_GT(percent, 0);
    EXPECT_LT(percent, 100);
    EXPECT_EQ(w.Model().Documents().size(), 1u);
    EXPECT_EQ(w.Area().subWindowList().size(), 1);
    EXPECT_EQ(w.Model().CurrentFile(), doc);

    // Cancelling an insert leaves the document as it was.
    percent = 0;
    QTimer::singleShot(0, watch);
    EXPECT_FALSE(w.Model().InsertFile(big, LKVInsertAt::End));
    EXPECT_GT(percent, 0);
    EXPECT_EQ(doc->audio.GetLength(), 8000);
    EXPECT_FALSE(doc->modified);
}

TEST(EditFlow, CopyOffersWaveDataThatIsRenderedOnlyWhenPasted)
{
    LKVMainWindow w;
    LKVFile* a = w.Model().OpenFile(uitest::SoxSine("a.wav", 8000, 1, 2.0));
    ASSERT_NE(a, nullptr);
    w.Model().SetSelection(4000, 12000, 4000);
    w.RunCommand(kCmCopy);

    const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(offered, nullptr);
    EXPECT_TRUE(offered->hasFormat("audio/wav"));
    EXPECT_TRUE(offered->hasFormat("audio/x-wav"));
    auto* wave = qobject_cast<const LWaveMimeData*>(offered);
    ASSERT_NE(wave, nullptr);
    EXPECT_FALSE(wave->Rendered()) << "nothing is written until someone pastes";

    // A document of another rate: the pasted audio is converted to it.

    w.Model().OpenFile(uitest::SoxSine("b.wav", 16000, 1, 1.0));
    LKVFile* b = w.Model().CurrentFile();
    ASSERT_NE(b, a);
    w.RunCommand(kCmPasteFromClipboard);
    EXPECT_EQ(b->audio.GetLength(), 16000 + 16000) << "one second at 8000 Hz is 16000 frames at 16000 Hz";
    EXPECT_EQ(w.Action(kCmUndo)->text(), "Undo Paste");
    EXPECT_TRUE(wave->Rendered());
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->data("audio/wav").left(4), "RIFF");

    // What another program put on the clipboard.
    const QByteArray bytes = QByteArray::fromStdString(test::ReadFileBytes(uitest::SoxSine("c.wav", 16000, 1, 0.25)));
    auto* foreign = new QMimeData;
    foreign->setData("audio/x-wav", bytes);
    QGuiApplication::clipboard()->setMimeData(foreign);
    w.Model().SetSelection(0, 0, 0);
    w.RunCommand(kCmPasteFromClipboard);
    EXPECT_EQ(b->audio.GetLength(), 32000 + 4000);
}
