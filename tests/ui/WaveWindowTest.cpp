// The document window's wave views, bottom bar and spectrum window.
#include <QApplication>
#include <QCheckBox>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "app/LSettingsTable.h"
#include "display/LKVWaveColumns.h"
#include "display/LSpectrogramAxis.h"
#include "edit/LKVFile.h"
#include "ui/LFrequencyWindow.h"
#include "ui/LKVDocumentWindows.h"
#include "ui/LKVFFTDlg.h"
#include "ui/LKVDialogExec.h"
#include "ui/LKVFileWindow.h"
#include "ui/LKVTimeRuler.h"
#include "ui/LKVWaveWindow.h"
#include "ui/LWaveWindow.h"

namespace {

struct Opened {
    LKVMainWindow w;
    LKVFile* doc = nullptr;
    LKVFileWindow* window = nullptr;
    explicit Opened(int channels, double seconds = 2.0)
    {
        w.resize(900, 600);
        w.show();
        doc = w.Model().OpenFile(uitest::SoxSine("tone.wav", 8000, channels, seconds));
        window = doc ? w.DocumentWindows().WindowOf(doc) : nullptr;
        if (window) {
            EXPECT_TRUE(window->WaitUntilDrawn(20000));
        }
    }
    std::pair<int32_t, int32_t> View() const { return {doc->pos.viewStart, doc->pos.viewEnd}; }
};

// Every pixel of a wave view's columns against columns computed afresh from the
// document's audio with the view's own mapping.
void ExpectPictureOf(LKVWaveWindow& view, const LCutListAudio& audio, int32_t mode)
{
    const QImage image = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    LWavePicture p = view.Model().Picture();
    LKVWaveColumns columns(audio);
    ASSERT_TRUE(columns.Compute(p.map, 0, p.Width(), mode, view.Model().VerticalZoom(), p.upper.data(),
                                p.lower.data(), nullptr));
    int32_t wrong = 0;
    for (int32_t x = 0; x < p.Width(); ++x) {
        LRgb back, fore;
        view.Colours().Pair(p.Role(x), back, fore);
        const LWavePicture::Span s = p.ColumnSpan(x, 0), s2 = p.ColumnSpan(x, 1);
        for (int32_t y = 1; y < p.height; ++y) {
            if (y == p.SeparatorRow() && p.Role(x) != LWaveRole::CursorLine)
                continue;
            const bool wave = (y >= s.top && y < s.bottom) || (p.lanes > 1 && y >= s2.top && y < s2.bottom);
            const LRgb want = p.Role(x) == LWaveRole::CursorLine || wave ? fore : back;
            if ((image.pixel(x + 1, y) & 0xFFFFFF) != want && ++wrong < 5)
                ADD_FAILURE() << "column " << x << " row " << y;
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0u) << "dark frame at the top left";
    EXPECT_EQ(image.pixel(p.Width() + 1, p.height) & 0xFFFFFF, 0xFFFFFFu) << "light frame at the bottom right";
}

} // namespace

TEST(WaveWindows, BothViewsShowTheDocumentsColumnsAndFollowACut)
{
    Opened o(2);
    ASSERT_NE(o.window, nullptr);
    // A new user's stereo document comes in lanes.
    ASSERT_EQ(o.doc->displayMode, kWaveModeLanes);
    ASSERT_EQ(o.window->MainWindow().Model().Picture().lanes, 2);
    ExpectPictureOf(o.window->OverviewWindow(), o.doc->audio, kWaveModeLanes);
    ExpectPictureOf(o.window->MainWindow(), o.doc->audio, kWaveModeLanes);
    EXPECT_EQ(o.window->OverviewWindow().height(), (o.window->OverviewWindow().height() + o.window->Ruler().height() +
                                                    o.window->MainWindow().height()) * 12 / 100);
    o.w.RunCommand(kCmDisplayPlusMinus);
    ASSERT_TRUE(o.window->WaitUntilDrawn(20000));
    ExpectPictureOf(o.window->MainWindow(), o.doc->audio, kWaveModePosNeg);

    o.w.Model().SetSelection(4000, 12000, 4000);
    o.w.RunCommand(kCmCut);
    ASSERT_EQ(o.doc->audio.GetLength(), 8000);
    ASSERT_TRUE(o.window->WaitUntilDrawn(20000));
    EXPECT_EQ(o.window->OverviewWindow().Model().Mapping().ViewLength(), 8000);
    ExpectPictureOf(o.window->OverviewWindow(), o.doc->audio, kWaveModePosNeg);
    ExpectPictureOf(o.window->MainWindow(), o.doc->audio, kWaveModePosNeg);

    o.w.RunCommand(kCmDisplayLeftRight);
    ASSERT_TRUE(o.window->WaitUntilDrawn(20000));
    ExpectPictureOf(o.window->MainWindow(), o.doc->audio, kWaveModeLeftRight);
}

// The spectrogram button draws the main view as a spectrogram (the overview
// stays a wave): the 440 Hz tone's row is bright, rows far from it dark; the
// choice is stored for new documents, and a mono document can go back to the wave.
TEST(WaveWindows, TheSpectrogramModeDrawsTheTonesRow)
{
    Opened o(1);
    ASSERT_NE(o.window, nullptr);
    o.window->Button(8).click();
    ASSERT_TRUE(o.window->WaitUntilDrawn(20000));
    EXPECT_EQ(LKVSettings::kWaveDisplayMode.Read(), kWaveModeSpectrogram);
    EXPECT_TRUE(o.window->Button(8).isChecked());
    EXPECT_FALSE(o.window->OverviewWindow().Model().Picture().spectrogram);
    const LWavePicture p = o.window->MainWindow().Model().Picture();
    ASSERT_TRUE(p.spectrogram);
    const QImage image = o.window->MainWindow().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const LWavePicture::Lane lane = p.LaneRows(0);
    const LSpectrogramAxis axis(8000, o.window->MainWindow().Model().SpectrogramFftSize(), true, lane.end - lane.top);
    const int tone = lane.top + int(axis.RowOf(440.0)), far = lane.top + int(axis.RowOf(3000.0));
    auto lightness = [&](int x, int y) { return qGray(image.pixel(x, y)); };
    const int x = p.Width() * 2 / 3;
    // The cursor and selection are elsewhere: an ordinary column.
    ASSERT_EQ(p.Role(x), LWaveRole::Normal);
    EXPECT_GT(lightness(x + 1, tone), 150);
    EXPECT_LT(lightness(x + 1, far), 60);

    ASSERT_TRUE(o.window->Button(5).isEnabled());
    o.window->Button(5).click();
    ASSERT_TRUE(o.window->WaitUntilDrawn(20000));
    EXPECT_FALSE(o.window->MainWindow().Model().Picture().spectrogram);
    ExpectPictureOf(o.window->MainWindow(), o.doc->audio, kWaveModePosNeg);
}

TEST(WaveWindows, PressDragReleaseSelectsThroughTheModel)
{
    Opened o(1);
    ASSERT_NE(o.window, nullptr);
    LKVWaveWindow& view = o.window->MainWindow();
    QSignalSpy codes(&view, &LKVWaveWindow::waveCode);
    QSignalSpy released(o.window, &LKVFileWindow::mainReleased);
    QSignalSpy dragging(o.window, &LKVFileWindow::mainDragging);
    const int32_t press = view.Model().PixelToFrame(300), end = view.Model().PixelToFrame(100);
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(301, 20));
    QTest::mouseMove(&view, QPoint(501, 20));
    QTest::mouseMove(&view, QPoint(101, 30));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(101, 30));
    EXPECT_EQ(std::pair(o.doc->pos.selStart, o.doc->pos.selEnd), std::pair(end, press));
    EXPECT_EQ(o.doc->pos.cursor, end);
    EXPECT_EQ(released.count(), 1);
    EXPECT_GE(dragging.count(), 1);
    ASSERT_FALSE(codes.isEmpty());
    EXPECT_EQ(codes.last().at(0).toInt(), int(kWaveReleased));
    EXPECT_EQ(o.window->OverviewWindow().Model().SelectionEnd(), press) << "the overview shows the selection too";
}

TEST(WaveWindows, ButtonsShortcutsAndTheScrollBarMoveTheView)
{
    Opened o(1, 20.0);
    ASSERT_NE(o.window, nullptr);
    EXPECT_EQ(o.View(), std::pair(0, 160000));
    EXPECT_EQ(o.window->Button(1).toolTip(), "Zoom In");
    EXPECT_EQ(o.window->Button(6).toolTip(), "Wave display left channel up / right channel down.");
    EXPECT_FALSE(o.window->Button(6).isEnabled()) << "no left/right for mono";

    o.w.Model().SetSelection(0, 0, 40000);
    o.window->Button(1).click();
    EXPECT_EQ(o.View(), std::pair(0, 80000));
    o.window->Button(4).click();
    EXPECT_TRUE(o.window->Button(4).isChecked());
    EXPECT_EQ(o.doc->verticalZoom, 1);

    QApplication::setActiveWindow(&o.w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&o.w));
    QTest::keySequence(&o.w, QKeySequence(QStringLiteral("Ctrl+Shift+F")));
    EXPECT_EQ(o.View(), std::pair(0, 160000)) << "Zoom Full";
    QTest::keySequence(&o.w, QKeySequence(QStringLiteral("Ctrl++")));
    EXPECT_EQ(o.View(), std::pair(0, 80000)) << "Zoom In";

    // The scroll bar moves the view, in frames, and leaves the cursor alone.
    QScrollBar& bar = o.window->ScrollBar();
    EXPECT_EQ(std::pair(bar.maximum(), bar.pageStep()), std::pair(80000, 80000));
    bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(o.View(), std::pair(80000, 160000));
    EXPECT_EQ(o.doc->pos.cursor, 40000);
    o.w.Model().SetSelection(0, 0, 20000);
    EXPECT_EQ(o.View(), std::pair(20000, 100000)) << "the view follows the cursor";
    EXPECT_EQ(bar.value(), 20000);
    ASSERT_TRUE(o.window->WaitUntilDrawn(20000));
    EXPECT_EQ(o.window->MainWindow().Model().Mapping().ViewStart(), 20000);

    // Playback moving the cursor past the view scrolls it.
    o.doc->pos.cursor = 150000;
    o.w.PlayCursorMoved(*o.doc);
    EXPECT_EQ(o.View(), std::pair(70000, 150000));
    EXPECT_EQ(bar.value(), 70000);
}

namespace {

void Wheel(QWidget& over, QPoint at, QPoint angle, Qt::KeyboardModifiers keys = {}, QPoint pixels = {})
{
    QWheelEvent event(QPointF(at), QPointF(over.mapToGlobal(at)), pixels, angle, Qt::NoButton, keys,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&over, &event);
}

} // namespace

TEST(WaveWindows, TheWheelScrollsAndZoomsTheViewAndNeverMovesThePosition)
{
    Opened o(1, 20.0);
    ASSERT_NE(o.window, nullptr);
    o.w.Model().SetSelection(30000, 50000, 30000);
    o.w.RunCommand(kCmZoomIn);
    ASSERT_EQ(o.View(), std::pair(0, 80000));
    LKVWaveWindow& view = o.window->MainWindow();
    const auto positions = [&] { return std::tuple(o.doc->pos.cursor, o.doc->pos.selStart, o.doc->pos.selEnd); };
    const auto before = positions();

    Wheel(view, QPoint(100, 20), QPoint(0, -120));
    EXPECT_EQ(o.View(), std::pair(8000, 88000)) << "a notch towards the user: a tenth of the view on";
    Wheel(view, QPoint(100, 20), QPoint(0, -120), Qt::ShiftModifier);
    EXPECT_EQ(o.View(), std::pair(48000, 128000)) << "with Shift half the view";
    Wheel(view, QPoint(100, 20), QPoint(0, 120));
    EXPECT_EQ(o.View(), std::pair(40000, 120000));
    // A touchpad's sideways stroke: 100 pixels to the left shows what lies right.
    const int32_t perColumn = 80000 / view.Model().Mapping().Width();
    Wheel(view, QPoint(100, 20), QPoint(-120, 0), {}, QPoint(-100, 0));
    EXPECT_NEAR(o.View().first, 40000 + 100 * perColumn, perColumn);
    EXPECT_EQ(o.View().second - o.View().first, 80000);

    // Ctrl zooms around the pointer: the frame under it stays.
    ASSERT_TRUE(o.window->WaitUntilDrawn(20000));
    const int32_t under = view.Model().PixelToFrame(300);
    Wheel(view, QPoint(301, 20), QPoint(0, 120), Qt::ControlModifier);
    EXPECT_EQ(o.View().second - o.View().first, 64000);
    ASSERT_TRUE(o.window->WaitUntilDrawn(20000));
    EXPECT_LE(view.Model().PixelToFrame(300), under);
    EXPECT_GT(view.Model().PixelToFrame(301), under);
    EXPECT_EQ(positions(), before) << "the wheel moves the view only";

    // A click on the ruler moves the position there.
    const int32_t at = view.Model().PixelToFrame(200);
    QTest::mouseClick(&o.window->Ruler(), Qt::LeftButton, {}, QPoint(201, 5));
    EXPECT_EQ(o.doc->pos.cursor, at);
}

TEST(WaveWindows, BookmarksAndRegionsAreDrawnAndFollowTheLists)
{
    Opened o(1, 4.0);
    ASSERT_NE(o.window, nullptr);
    LKVSetExecHook([](QDialog& dialog) { QTimer::singleShot(0, &dialog, &QDialog::accept); });
    o.w.Model().SetSelection(0, 0, 8000);
    o.w.Model().CmSetBookmark();
    o.w.Model().SetSelection(16000, 24000, 16000);
    o.w.Model().CmAddRegion();
    LKVSetExecHook({});
    ASSERT_EQ(o.window->Marks().Bookmarks().size(), 1u);
    ASSERT_EQ(o.window->Marks().Regions().size(), 1u);
    EXPECT_EQ(o.window->Marks().Bookmarks()[0].frame, 8000);

    LKVWaveWindow& view = o.window->MainWindow();
    const std::vector<LWaveMarks::Flag> flags = view.Flags();
    ASSERT_EQ(flags.size(), 1u);
    EXPECT_EQ(flags[0].column, view.Model().FrameToPixel(8000));
    const QImage image = view.grab().toImage();
    EXPECT_EQ(image.pixel(flags[0].column + 1, view.height() - 3) & 0xFFFFFF, 0xFFAA00u) << "the bookmark's line";

    // A click on the region's band selects it; a double click on the flag goes to the bookmark.
    const std::vector<LWaveMarks::Band> bands = o.window->Ruler().Bands();
    ASSERT_EQ(bands.size(), 1u);
    o.w.Model().SetSelection(0, 0, 0);
    QTest::mouseClick(&o.window->Ruler(), Qt::LeftButton, {},
                      QPoint((bands[0].left + bands[0].right) / 2 + 1, o.window->Ruler().height() - 3));
    EXPECT_EQ(std::pair(o.doc->pos.selStart, o.doc->pos.selEnd), std::pair(16000, 24000));
    QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(flags[0].left + 2, 1 + view.FlagHeight() / 2));
    EXPECT_EQ(o.doc->pos.cursor, 8000);

    uitest::DialogScript script;
    script.Message("Confirm Delete All", QMessageBox::Yes);
    o.w.Model().DeleteAllBookmarks();
    EXPECT_TRUE(o.window->Marks().Bookmarks().empty()) << "the drawing follows the list";
    EXPECT_TRUE(view.Flags().empty());
}

TEST(WaveWindows, TheSpectrumFollowsTheCursorUntilItsWindowCloses)
{
    Opened o(2);
    ASSERT_NE(o.window, nullptr);
    o.w.RunCommand(kCmFrequencyAnalysis);
    LKVFFTDlg* fft = o.w.FrequencyAnalysis();
    ASSERT_NE(fft, nullptr);
    const LSpectrumBlock& data = fft->Frequency().Model().Data();
    EXPECT_TRUE(data.twoChannels);
    EXPECT_EQ(data.Level(0, SpectrumFrequencyBin(440, 8000)), data.Level(1, SpectrumFrequencyBin(440, 8000)));
    EXPECT_GT(data.Level(0, SpectrumFrequencyBin(440, 8000)), -20);
    o.w.Model().SetSelection(0, 0, o.doc->audio.GetLength());
    EXPECT_EQ(fft->Frequency().Model().Data().Level(0, SpectrumFrequencyBin(440, 8000)), -127) << "silence at the end";

    // It is listed in the Window menu beside the document.
    QMenu* windowMenu = nullptr;
    for (QAction* top : o.w.menuBar()->actions())
        if (top->text() == "&Window")
            windowMenu = top->menu();
    ASSERT_NE(windowMenu, nullptr);
    emit windowMenu->aboutToShow();
    QStringList listed;
    for (QAction* act : windowMenu->actions())
        if (act->data().toInt() >= 11000)
            listed << act->text();
    EXPECT_EQ(listed, (QStringList{"&1 tone.wav", "&2 Frequency Analysis"}));
    // The linear axis is a choice; the readout follows it.
    const int32_t logBin = fft->Frequency().Model().MapPixelXtoIndex(100);
    fft->LogarithmicBox().setChecked(false);
    EXPECT_FALSE(fft->Frequency().Model().Logarithmic());
    EXPECT_GT(fft->Frequency().Model().MapPixelXtoIndex(100), logBin);
    fft->LogarithmicBox().setChecked(true);

    fft->Zoom(false, true);
    EXPECT_TRUE(fft->ScrollBar(false).isEnabled());
    EXPECT_EQ(fft->ScrollBar(false).maximum(), 51);
    emit fft->Frequency().pointerMoved(10, 10);
    EXPECT_EQ(fft->Frequency().Readout(), QString::fromStdString(fft->Frequency().Model().Readout(10, 10)));

    fft->parentWidget()->close();
    uitest::Settle();
    EXPECT_EQ(o.w.FrequencyAnalysis(), nullptr);
    o.w.Model().SetSelection(0, 0, 100);
}

TEST(WaveWindows, TheStripDrawsItsSourceMirrored)
{
    LCutListAudio audio;
    {
        LSoundSink sink = audio.OpenSink(8000, 1);
        std::vector<int32_t> v(800, 0x40000);
        sink->Write(v.data(), 800);
    }
    LWaveWindow strip;
    strip.resize(102, 41);
    strip.show();
    strip.Start(audio.OpenSource());
    ASSERT_TRUE(strip.Model().WaitIdle(20000));
    uitest::Settle();
    const QImage image = strip.grab().toImage();
    // 0x40000 >> 10 = 256: full half height each way from the centre row 20.
    EXPECT_EQ(image.pixel(50, 2) & 0xFFFFFF, strip.palette().color(QPalette::Text).rgb() & 0xFFFFFF);
    EXPECT_EQ(image.pixel(50, 38) & 0xFFFFFF, strip.palette().color(QPalette::Text).rgb() & 0xFFFFFF);
}
