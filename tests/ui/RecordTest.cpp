// Recording into a document through the record dialog, from the file input device.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <cstdlib>
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "edit/LKVFile.h"
#include "support/TestSupport.h"
#include "ui/LRecordDlg.h"

using uitest::DialogScript;

namespace {

// Waits in the dialog's loop until the take has reached `text` (its time read-out).
bool WaitForTime(LRecordDlg& dialog, const QString& text)
{
    QElapsedTimer guard;
    guard.start();
    while (dialog.Shown() < text && guard.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return dialog.Shown() >= text;
}

} // namespace

TEST(Record, ATakeFromTheInputDeviceGoesIntoTheDocumentAtTheCursor)
{
    const std::string input = uitest::SoxSine("voice-in.wav", 8000, 1, 1.0);
    ::setenv("KELVANE_AUDIO_IN", input.c_str(), 1);
    ::setenv("KELVANE_AUDIO_CLOCK", "free", 1);
    LKVMainWindow w;
    LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("base.wav", 8000, 1, 0.5));
    ASSERT_NE(doc, nullptr);
    w.Model().SetSelection(2000, 2000, 2000);

    DialogScript script;
    QString stateWhileRecording;
    script.Then([&](QDialog& d) {
        auto& dialog = static_cast<LRecordDlg&>(d);
        EXPECT_FALSE(d.findChild<QPushButton*>("record")->isEnabled()) << "the first take runs at once";
        EXPECT_TRUE(WaitForTime(dialog, "0:00:00.90")) << dialog.Shown().toStdString();
        stateWhileRecording = d.findChild<QLabel*>("state")->text();
        d.findChild<QPushButton*>("keep")->click();
    });
    w.RunCommand(kCmRecord);
    EXPECT_NE(stateWhileRecording, "The recording device could not be opened");
    const int32_t recorded = doc->audio.GetLength() - 4000;
    EXPECT_GE(recorded, 7200);
    EXPECT_LE(recorded, 8000 + 400) << "one second of input, trimmed 50 ms after its last sound";
    EXPECT_EQ(doc->pos.selStart, 2000);
    EXPECT_EQ(doc->pos.selEnd, 2000 + recorded) << "the recording is selected";
    EXPECT_EQ(w.Action(kCmUndo)->text(), "Undo Record");

    // Discard keeps the document as it was.
    script.Then([&](QDialog& d) {
        WaitForTime(static_cast<LRecordDlg&>(d), "0:00:00.50");
        d.findChild<QPushButton*>("discard")->click();
    });
    const int32_t before = doc->audio.GetLength();
    w.RunCommand(kCmRecord);
    EXPECT_EQ(doc->audio.GetLength(), before);
    ::unsetenv("KELVANE_AUDIO_IN");
    ::unsetenv("KELVANE_AUDIO_CLOCK");
}
