// The transport dialog: what it plays through the capture device, its buttons,
// the position bar, and the level meter's picture.
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QToolButton>
#include <cstdlib>
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "edit/LKVFile.h"
#include "app/LSettingsTable.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"
#include "ui/LDBDisplay.h"
#include "ui/LPlayDlg.h"

using uitest::DialogScript;

namespace {

bool PumpUntil(const std::function<bool()>& done)
{
    QElapsedTimer guard;
    guard.start();
    while (!done() && guard.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

LChannelLevels Levels(std::initializer_list<int8_t> dB)
{
    LChannelLevels l;
    for (int8_t v : dB)
        l.level[l.count++] = v;
    return l;
}

bool IsGreen(QRgb c) { return qGreen(c) > 2 * qRed(c) && qGreen(c) > 2 * qBlue(c); }
bool IsRed(QRgb c) { return qRed(c) > 2 * qGreen(c) && qRed(c) > 2 * qBlue(c); }
bool IsBlack(QRgb c) { return qRed(c) == 0 && qGreen(c) == 0 && qBlue(c) == 0; }

} // namespace

TEST(TransportDialog, PlaysTheSelectionOfTheCurrentDocumentAndTheBarFollows)
{
    const std::string heard = test::TempPath("heard.wav");
    ::setenv("KELVANE_AUDIO_OUT", ("capture:" + heard).c_str(), 1);
    ::setenv("KELVANE_AUDIO_CLOCK", "free", 1);
    LKVMainWindow w;
    ASSERT_NE(w.Model().OpenFile(uitest::SoxSine("first.wav", 8000, 2, 1.0)), nullptr);
    LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("second.wav", 8000, 2, 2.0));
    ASSERT_NE(doc, nullptr);
    w.Model().SetSelection(4000, 10000, 0);

    DialogScript script;
    script.Then([&](QDialog& d) {
        auto& dialog = static_cast<LPlayDlg&>(d);
        EXPECT_EQ(dialog.TrackShown(), "Track 2 of 2:  second.wav");
        EXPECT_EQ(dialog.TransportButton(LPlayerBaseDlg::kStart)->toolTip(),
                  "Go to Start / Previous Track (Home/PgUp)");
        EXPECT_EQ(dialog.NextTrackButton()->toolTip(), "Next Track (PgDn)");
        EXPECT_FALSE(dialog.NextTrackButton()->isEnabled()) << "the last track";
        EXPECT_TRUE(dialog.TransportButton(LPlayerBaseDlg::kStop)->isChecked());
        dialog.TransportButton(LPlayerBaseDlg::kPlay)->click();
        EXPECT_TRUE(dialog.TransportButton(LPlayerBaseDlg::kPlay)->isChecked());
        EXPECT_FALSE(dialog.TransportButton(LPlayerBaseDlg::kStop)->isChecked());
        ASSERT_TRUE(PumpUntil([&] { return dialog.Model().State() == 0; }));
        uitest::Settle();
        EXPECT_TRUE(dialog.TransportButton(LPlayerBaseDlg::kStop)->isChecked());
        EXPECT_EQ(dialog.TimeShown(), "0:00:01.25") << "playback stopped at the selection's end";
        EXPECT_EQ(dialog.PositionBar()->value(), 62);

        // The position bar: 2 s steps, not below the start, the thumb in hundredths.
        QScrollBar* bar = dialog.PositionBar();
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        EXPECT_EQ(dialog.Model().Cursor(), 0);
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        EXPECT_EQ(dialog.Model().Cursor(), 16000);
        EXPECT_EQ(bar->value(), 100);
        bar->setSliderPosition(25);
        EXPECT_EQ(dialog.Model().Cursor(), 4000);
        EXPECT_EQ(dialog.TimeShown(), "0:00:00.50");
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        EXPECT_EQ(dialog.Model().Cursor(), 0);
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        EXPECT_EQ(dialog.Model().Cursor(), 16000);

        // Go to Start, then from the start to the previous track.
        dialog.TransportButton(LPlayerBaseDlg::kStart)->click();
        EXPECT_EQ(dialog.Model().Cursor(), 0);
        EXPECT_EQ(dialog.Model().CurrentTrack(), 1u);
        dialog.TransportButton(LPlayerBaseDlg::kStart)->click();
        EXPECT_EQ(dialog.Model().CurrentTrack(), 0u);
        EXPECT_EQ(dialog.TrackShown(), "Track 1 of 2:  first.wav");
        EXPECT_TRUE(dialog.NextTrackButton()->isEnabled());
        d.reject();
    });
    w.RunCommand(kCmPlayer);
    EXPECT_EQ(script.Pending(), 0u);

    LCutListAudio selection;
    doc->audio.EfCopy(4000, 10000, selection);
    const std::vector<int32_t> expected = test::ReadAll(selection.OpenSource());
    const std::vector<int32_t> played = test::ReadAll(LWaveFile::OpenSource(heard));
    ASSERT_EQ(played.size(), expected.size());
    EXPECT_TRUE(played == expected) << "the selection, sample for sample";
    EXPECT_EQ(doc->pos.cursor, 0) << "the dialog's position is its own";
    ::unsetenv("KELVANE_AUDIO_OUT");
    ::unsetenv("KELVANE_AUDIO_CLOCK");
}

TEST(TransportDialog, HeldScansStartFromTheCursorAndTheDialogKeepsItsSettings)
{
    ::setenv("KELVANE_AUDIO_OUT", "null", 1);
    ::setenv("KELVANE_AUDIO_CLOCK", "free", 1);
    LKVSettings::kPlayerVolumeDB.Write(-12);
    {
        LKVMainWindow w;
        LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("scan.wav", 8000, 1, 2.0));
        ASSERT_NE(doc, nullptr);
        LPlayerTrack track{"scan.wav", doc->audio, {}};
        track.pos.cursor = 8000;
        std::vector<LPlayerTrack> tracks;
        tracks.push_back(track);
        LPlayDlg dialog(std::move(tracks), 0);
        EXPECT_EQ(dialog.Model().VolumeDb(), -12);
        QToolButton* rewind = dialog.TransportButton(LPlayerBaseDlg::kRewind);
        EXPECT_EQ(rewind->toolTip(), "Rewind (<-)");
        emit rewind->pressed();
        EXPECT_EQ(dialog.Model().Cursor(), 8000 - 8000 / 5) << "a fifth of a second back";
        EXPECT_NE(dialog.Model().State(), 0);
        emit rewind->released();
        EXPECT_EQ(dialog.Model().State(), 0) << "it was idle before";
        dialog.Model().SetVolumeDb(-6);
    }
    EXPECT_EQ(LKVSettings::kPlayerVolumeDB.Read(), -6) << "stored on close";
    ::unsetenv("KELVANE_AUDIO_OUT");
    ::unsetenv("KELVANE_AUDIO_CLOCK");
}

TEST(LevelMeter, BarsGoGreenToZeroAndRedAboveAndEmptyAtTheBottomOfTheScale)
{
    LDBDisplay meter;
    meter.resize(193, 21);  // W = 192: 4 pixels a dB, 0 dB at 144
    meter.SetLevels(Levels({-36, 12}));
    QImage image = meter.grab().toImage();
    const int upperBand = 4, lowerBand = 14;  // rows inside channel 0 and channel 1
    for (int x = 0; x < 192; ++x)
        EXPECT_TRUE(IsBlack(image.pixel(x, upperBand))) << "-36 dB shows nothing, x " << x;
    for (int x = 0; x < 144; ++x)
        EXPECT_TRUE(IsGreen(image.pixel(x, lowerBand))) << "x " << x;
    for (int x = 144; x < 192; ++x)
        EXPECT_TRUE(IsRed(image.pixel(x, lowerBand))) << "the last quarter is red, x " << x;
    EXPECT_EQ(image.pixel(192, lowerBand), qRgb(255, 255, 255)) << "the light right edge";
    EXPECT_EQ(image.pixel(50, 20), qRgb(255, 255, 255)) << "the light bottom edge";

    // Below 0 dB only green; levels beyond the scale are held at its ends.
    meter.SetLevels(Levels({-12, 100}));
    image = meter.grab().toImage();
    EXPECT_TRUE(IsGreen(image.pixel(95, upperBand)));
    EXPECT_TRUE(IsBlack(image.pixel(96, upperBand))) << "-12 dB ends at 96";
    EXPECT_TRUE(IsRed(image.pixel(191, lowerBand)));

    meter.setEnabled(false);
    image = meter.grab().toImage();
    EXPECT_EQ(image.pixel(100, upperBand), qRgb(0x80, 0x80, 0x80)) << "grey while disabled";
}
