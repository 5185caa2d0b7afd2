// Recording into a document through the record dialog, from the file input
// device: the automatic trim, the takes, and a device that goes away.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "app/LRecordDlgModel.h"
#include "app/LSettingsTable.h"
#include "core/LSoundTime.h"
#include "edit/LAudioCutTank.h"
#include "edit/LKVFile.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"
#include "ui/LRecordDlg.h"

using uitest::DialogScript;

namespace {

constexpr int32_t kFullScale = 0x7FFF0;

bool PumpUntil(const std::function<bool()>& done)
{
    QElapsedTimer guard;
    guard.start();
    while (!done() && guard.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Waits in the dialog's loop until its time read-out has reached `text`.
bool WaitForTime(LRecordDlg& dialog, const QString& text)
{
    return PumpUntil([&] { return dialog.Shown() >= text; });
}

std::string Sox(const std::string& name, const std::string& effects)
{
    const std::string path = test::TempPath(name);
    EXPECT_EQ(test::Run("sox -q -n -r 8000 -c 1 -b 16 " + test::Quote(path) + " " + effects), 0);
    return path;
}

int32_t Peak(const std::vector<int32_t>& v, size_t from, size_t count)
{
    int32_t peak = 0;
    for (size_t i = from; i < std::min(v.size(), from + count); ++i)
        peak = std::max(peak, std::abs(v[i]));
    return peak;
}

// Whether `recorded` from frame `at` on is `input` from its start: block by
// block their peaks agree (the recorder's DC filter changes samples a little).
::testing::AssertionResult InputFrom(const std::vector<int32_t>& recorded, size_t at, const std::vector<int32_t>& input)
{
    for (size_t f = at; f + 400 <= recorded.size(); f += 400) {
        const int32_t got = Peak(recorded, f, 400), want = Peak(input, f - at, 400);
        if (std::abs(got - want) > kFullScale / 50)
            return ::testing::AssertionFailure() << "frame " << f << ": peak " << got << ", input's " << want;
    }
    return ::testing::AssertionSuccess();
}

struct Input {
    Input(const std::string& path, bool freeRunning)
    {
        ::setenv("KELVANE_AUDIO_IN", path.c_str(), 1);
        if (freeRunning)
            ::setenv("KELVANE_AUDIO_CLOCK", "free", 1);
    }
    ~Input()
    {
        ::unsetenv("KELVANE_AUDIO_IN");
        ::unsetenv("KELVANE_AUDIO_CLOCK");
    }
};

} // namespace

TEST(Record, AutotrimKeepsTheSoundWithItsShortLeadAndSelectsItInTheDocument)
{
    // Half a second of silence, a second of tone, half a second of silence.
    const std::string input = Sox("voice-in.wav", "synth 1 sine 440 vol 0.5 pad 0.5 0.5");
    const Input device(input, true);
    LKVSettings::kRecorderAutotrim.Write(true);
    LKVMainWindow w;
    LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("base.wav", 8000, 1, 0.5));
    ASSERT_NE(doc, nullptr);
    w.Model().SetSelection(2000, 2000, 2000);

    DialogScript script;
    script.Then([&](QDialog& d) {
        auto& dialog = static_cast<LRecordDlg&>(d);
        EXPECT_EQ(dialog.windowTitle(), "Record");
        // The file device ends with the file: the take ends there by itself.
        ASSERT_TRUE(PumpUntil([&] { return !dialog.RecordModel().Recording() && script.Pending() == 0; }));
        EXPECT_EQ(dialog.TransportButton(LPlayerBaseDlg::kStart)->toolTip(), "Go to Start (Home)");
        EXPECT_EQ(dialog.TransportButton(LPlayerBaseDlg::kForward)->toolTip(), "Forward (->)");
        EXPECT_EQ(dialog.TransportButton(LPlayerBaseDlg::kEnd)->toolTip(), "Go to End (End)");
        EXPECT_TRUE(dialog.RecordButton()->isEnabled());
        d.findChild<QPushButton*>("keep")->click();
    });
    script.Message("Kelvane", QMessageBox::Ok);
    w.RunCommand(kCmRecord);

    // 50 ms before the sound, the second of sound, and 50 ms after its last
    // loud block (the DC filter's fading tail after the tone may make that the
    // block after it).
    const int32_t recorded = doc->audio.GetLength() - 4000;
    EXPECT_TRUE(recorded == 400 + 8000 + 400 || recorded == 400 + 8000 + 800 + 400) << recorded;
    EXPECT_EQ(doc->pos.selStart, 2000);
    EXPECT_EQ(doc->pos.selEnd, 2000 + recorded) << "the recording is selected";
    EXPECT_EQ(doc->pos.cursor, 2000);
    EXPECT_EQ(w.Action(kCmUndo)->text(), "Undo Record");
    LCutListAudio take;
    doc->audio.EfCopy(2000, 2000 + recorded, take);
    const std::vector<int32_t> kept = test::ReadAll(take.OpenSource());
    const std::vector<int32_t> source = test::ReadAll(LWaveFile::OpenSource(input));
    EXPECT_LT(Peak(kept, 0, 400), kFullScale / 100) << "the lead is the silence before the sound";
    EXPECT_TRUE(InputFrom(std::vector<int32_t>(kept.begin(), kept.begin() + 8400), 0,
                          std::vector<int32_t>(source.begin() + 3600, source.end())));

    // Discard keeps the document as it was.
    script.Then([&](QDialog& d) {
        PumpUntil([&] { return script.Pending() == 0; });
        d.findChild<QPushButton*>("discard")->click();
    });
    script.Message("Kelvane", QMessageBox::Ok);
    const int32_t before = doc->audio.GetLength();
    w.RunCommand(kCmRecord);
    EXPECT_EQ(doc->audio.GetLength(), before);
}

TEST(Record, ADeviceThatGoesAwaySaysSoAndLosesNothingRecorded)
{
    const Input device(uitest::SoxSine("ends.wav", 8000, 1, 1.0), true);
    LKVSettings::kRecorderAutotrim.Write(false);
    LKVMainWindow w;
    ASSERT_NE(w.Model().OpenFile(uitest::SoxSine("base.wav", 8000, 1, 0.1)), nullptr);
    DialogScript script;
    script.Then([&](QDialog& d) {
        auto& dialog = static_cast<LRecordDlg&>(d);
        ASSERT_TRUE(PumpUntil([&] { return script.Pending() == 0; }));
        EXPECT_FALSE(dialog.RecordModel().Recording());
        EXPECT_EQ(dialog.Model().Track()->audio.GetLength(), 8000) << "the review holds all of it";
        d.findChild<QPushButton*>("keep")->click();
    });
    script.Message("Kelvane", QMessageBox::Ok);
    w.RunCommand(kCmRecord);
    EXPECT_EQ(script.texts, (std::vector<QString>{"", LRecordDlg::kDeviceLostMessage}));
    EXPECT_EQ(w.Model().CurrentFile()->audio.GetLength(), 800 + 8000) << "every frame the device delivered";
}

TEST(Record, AFullDiskEndsTheTakeSaysWhyAndKeepsWhatWasWritten)
{
    const Input device(uitest::SoxSine("long.wav", 8000, 1, 1.0), true);
    LKVSettings::kRecorderAutotrim.Write(false);
    LKVMainWindow w;
    ASSERT_NE(w.Model().OpenFile(uitest::SoxSine("base.wav", 8000, 1, 0.1)), nullptr);
    DialogScript script;
    script.Then([&](QDialog& d) {
        auto& dialog = static_cast<LRecordDlg&>(d);
        ASSERT_TRUE(PumpUntil([&] { return script.Pending() == 0; }));
        EXPECT_FALSE(dialog.RecordModel().Recording()) << "the take ended by itself";
        d.findChild<QPushButton*>("keep")->click();
    });
    script.Message("Kelvane", QMessageBox::Ok);
    {
        // Files may grow to three blocks of the take and a little more: the
        // write of the fourth fails part-way, as on a disk that fills up.
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{3 * 800 * 4 + 1000, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
        w.RunCommand(kCmRecord);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, SIG_DFL);
    }
    ASSERT_EQ(script.texts.size(), 2u);
    const QString message = script.texts[1];
    EXPECT_TRUE(message.startsWith("Recording stopped: the audio could not be written to the working folder"));
    EXPECT_TRUE(message.contains(QString::fromStdString(LAudioCutTank::Get().GetWorkingFolder()))) << message.toStdString();
    EXPECT_TRUE(message.contains(QString::fromUtf8(std::strerror(EFBIG)))) << "the system's reason";
    EXPECT_EQ(w.Model().CurrentFile()->audio.GetLength(), 800 + 3 * 800) << "exactly the blocks written";
}

TEST(Record, RestartDropsEverythingAndReTakeOnlyTheCurrentTake)
{
    // A tone that grows louder over three seconds: where a take began shows
    // in the recording. In real time the file device goes on with silence.
    const std::string input = Sox("growing.wav", "synth 3 sine 400 vol 0.9 fade t 3 0 0");
    const std::vector<int32_t> source = test::ReadAll(LWaveFile::OpenSource(input));
    const Input device(input, false);
    LKVSettings::kRecorderAutotrim.Write(false);
    LKVMainWindow w;
    ASSERT_NE(w.Model().OpenFile(uitest::SoxSine("base.wav", 8000, 1, 0.25)), nullptr);
    w.Model().SetSelection(2000, 2000, 2000);

    int32_t first = 0;
    DialogScript script;
    script.Then([&](QDialog& d) {
        auto& dialog = static_cast<LRecordDlg&>(d);
        QToolButton* start = dialog.TransportButton(LPlayerBaseDlg::kStart);
        QToolButton* forward = dialog.TransportButton(LPlayerBaseDlg::kForward);
        QToolButton* end = dialog.TransportButton(LPlayerBaseDlg::kEnd);
        EXPECT_EQ(start->toolTip(), "Restart (F6)");
        EXPECT_EQ(dialog.TransportButton(LPlayerBaseDlg::kRewind)->toolTip(), "Rewind (<-)");
        EXPECT_EQ(forward->toolTip(), "Re-Take (F7)");
        EXPECT_EQ(end->toolTip(), "Record Next (F5)");
        EXPECT_FALSE(dialog.RecordButton()->isEnabled()) << "the first take runs at once";

        ASSERT_TRUE(WaitForTime(dialog, "0:00:00.40"));
        start->click();  // Restart: a take at 0
        EXPECT_EQ(dialog.RecordModel().TakeStartMs(), 0);
        ASSERT_TRUE(WaitForTime(dialog, "0:00:00.30"));
        dialog.TransportButton(LPlayerBaseDlg::kStop)->click();
        EXPECT_EQ(start->toolTip(), "Go to Start (Home)");
        first = dialog.Model().Track()->audio.GetLength();
        EXPECT_EQ(dialog.Model().Cursor(), first) << "the position is the recording's end";

        dialog.RecordButton()->click();  // Record (F8): a take after the first
        const int32_t firstMs = dialog.RecordModel().TakeStartMs();
        EXPECT_EQ(firstMs, first / 8);
        const QString later = QString::fromStdString(LSoundTime(firstMs + 400).GetTextCs());
        ASSERT_TRUE(WaitForTime(dialog, later));
        forward->click();  // Re-Take: again from where this take began
        EXPECT_EQ(dialog.RecordModel().TakeStartMs(), firstMs);
        ASSERT_TRUE(WaitForTime(dialog, QString::fromStdString(LSoundTime(firstMs + 300).GetTextCs())));
        end->click();  // Record Next ends the dialog, keeping it all
    });
    script.Then([&](QDialog& d) { d.findChild<QPushButton*>("discard")->click(); });
    w.RunCommand(kCmRecord);
    EXPECT_EQ(script.Pending(), 0u) << "Record Next opened the dialog again";

    LKVFile* doc = w.Model().CurrentFile();
    // Record Next left the cursor after the recording, at the document's end.
    const int32_t recorded = doc->audio.GetLength() - 2000;
    EXPECT_EQ(doc->pos.cursor, doc->audio.GetLength());
    LCutListAudio take;
    doc->audio.EfCopy(2000, 2000 + recorded, take);
    const std::vector<int32_t> kept = test::ReadAll(take.OpenSource());
    ASSERT_GT(recorded, first);
    EXPECT_TRUE(InputFrom(std::vector<int32_t>(kept.begin(), kept.begin() + first), 0, source))
        << "the take after Restart, from the input's start";
    EXPECT_TRUE(InputFrom(kept, size_t(first), source)) << "only the take after Re-Take follows it";
}
