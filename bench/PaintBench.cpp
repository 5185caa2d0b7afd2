#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <memory>

#include "BenchQtApp.h"
#include "display/LKVWaveModel.h"
#include "display/LWaveMarks.h"
#include "ui/LKVTimeRuler.h"
#include "ui/LKVWaveWindow.h"
#include "ui/LWavePainter.h"

// Painting a 1920 x 400 wave view from its computed columns, on Qt's offscreen
// platform: the picture as the document view fills it, the whole widget
// repaint through Qt, and for comparison one QPainter line per column run.
namespace {

constexpr int kWidth = 1920, kHeight = 400;

QApplication& App() { return BenchQtApp(); }

// A speech-like picture with a selection over a third and the cursor band.
struct View {
    LCutListAudio audio;
    LKVWaveModel model;
    View()
    {
        std::vector<int32_t> v(size_t(kWidth) * 64);
        for (size_t i = 0; i < v.size(); ++i) {
            double env = std::fabs(std::sin(double(i) / 9000.0)) * std::fabs(std::sin(double(i) / 700.0));
            v[i] = int32_t(0x7FFF0 * env * std::sin(double(i) * 0.3));
        }
        {
            LSoundSink sink = audio.OpenSink(44100, 1);
            sink->Write(v.data(), int32_t(v.size()));
        }
        model.SetSize(kWidth + 2, kHeight + 1);
        model.Start(audio, kWaveModePosNeg, false);
        model.SetEnd(audio.GetLength());
        model.SetSelectionStart(audio.GetLength() / 3);
        model.SetSelectionEnd(audio.GetLength() * 2 / 3);
        model.SetCursor(audio.GetLength() / 2, 1000);
        model.SetView(0, audio.GetLength());
        model.WaitIdle(60000);
    }
};

void BM_Paint_WaveImage(benchmark::State& state)
{
    App();
    View view;
    const LWavePicture picture = view.model.Picture();
    const LWaveColours colours = LWaveColours::Document(false, LSystemColours{});
    QImage image(kWidth + 2, kHeight + 1, QImage::Format_RGB32);
    for (auto _ : state) {
        LWavePainter::Render(image, picture, colours, 0, kWidth, 0xFFC0C0C0);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_Paint_WaveWidget(benchmark::State& state)
{
    App();
    View view;
    LKVWaveWindow window(view.model);
    window.resize(kWidth + 2, kHeight + 1);
    window.show();
    QApplication::processEvents();
    for (auto _ : state)
        window.repaint();
}

// Twenty bookmarks and ten regions, spread over the view.
LWaveMarks SomeMarks(int32_t length)
{
    std::vector<LWaveBookmark> bookmarks;
    std::vector<LWaveRegion> regions;
    for (size_t i = 0; i < 20; ++i)
        bookmarks.push_back({"Bookmark " + std::to_string(i + 1), int32_t(int64_t(length) * int64_t(i) / 20), i});
    for (size_t i = 0; i < 10; ++i)
        regions.push_back({"Region " + std::to_string(i + 1), int32_t(int64_t(length) * int64_t(i) / 10),
                           int32_t(int64_t(length) * int64_t(i) / 10 + length / 15), i});
    LWaveMarks marks;
    marks.SetBookmarks(std::move(bookmarks));
    marks.SetRegions(std::move(regions));
    return marks;
}

// The same repaint with the bookmarks' lines and named flags over the wave.
void BM_Paint_WaveWidgetWithMarks(benchmark::State& state)
{
    App();
    View view;
    const LWaveMarks marks = SomeMarks(view.audio.GetLength());
    LKVWaveWindow window(view.model);
    window.SetMarks(&marks, true);
    window.resize(kWidth + 2, kHeight + 1);
    window.show();
    QApplication::processEvents();
    for (auto _ : state)
        window.repaint();
}

// The time ruler above it: ticks, labels, region bands and the cursor.
void BM_Paint_TimeRuler(benchmark::State& state)
{
    App();
    View view;
    const LWaveMarks marks = SomeMarks(view.audio.GetLength());
    LKVTimeRuler ruler(view.model);
    ruler.SetMarks(&marks);
    ruler.resize(kWidth + 2, ruler.Height());
    ruler.show();
    QApplication::processEvents();
    for (auto _ : state)
        ruler.repaint();
}

// One step of a mouse drag: the selection moves by 16 columns and only the
// columns it touched are repainted.
void BM_Paint_DragSelectionStep(benchmark::State& state)
{
    App();
    View view;
    LKVWaveWindow window(view.model);
    window.resize(kWidth + 2, kHeight + 1);
    window.show();
    QApplication::processEvents();
    view.model.MouseDown(100);
    int32_t x = 100;
    for (auto _ : state) {
        x = x >= kWidth - 100 ? 100 : x + 16;
        view.model.MouseMove(x);
        QApplication::processEvents();
    }
    view.model.MouseUp(x);
}

// What one drawn line per column run costs instead.
void BM_Paint_LinePerColumn(benchmark::State& state)
{
    App();
    View view;
    const LWavePicture picture = view.model.Picture();
    const LWaveColours colours = LWaveColours::Document(false, LSystemColours{});
    QImage image(kWidth + 2, kHeight + 1, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        for (int32_t x = 0; x < kWidth; ++x) {
            LRgb back, fore;
            colours.Pair(picture.Role(x), back, fore);
            const LWavePicture::Span s = picture.ColumnSpan(x);
            p.setPen(QColor::fromRgb(back));
            p.drawLine(x + 1, 1, x + 1, s.top - 1);
            p.setPen(QColor::fromRgb(fore));
            p.drawLine(x + 1, s.top, x + 1, s.bottom - 1);
            p.setPen(QColor::fromRgb(back));
            p.drawLine(x + 1, s.bottom, x + 1, kHeight - 1);
        }
    }
}

BENCHMARK(BM_Paint_WaveImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint_WaveWidget)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint_WaveWidgetWithMarks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint_TimeRuler)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint_DragSelectionStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paint_LinePerColumn)->Unit(benchmark::kMillisecond);

} // namespace
