#include <gtest/gtest.h>

#include "core/LDispatcher.h"
#include "core/LFile.h"
#include "display/DisplayTestSupport.h"
#include "display/LKVWaveModel.h"
#include "display/LWaveModel.h"

using test::ListOf;
using test::MapOf;

namespace {

struct Recorder : LWaveViewListener {
    std::vector<std::pair<int32_t, int32_t>> ranges;
    void WaveInvalidate(int32_t from, int32_t to) override { ranges.emplace_back(from, to); }
};

// A view whose paint lock a test can hold to keep the wave thread waiting.
struct HeldModel : LKVWaveModel {
    std::mutex& Lock() { return paintLock_; }
};

// A ramp whose every column differs, so that a misplaced column shows.
LCutListAudio Ramp(int32_t frames)
{
    return test::ListOfLevels(frames, 1, [](int32_t f, int32_t) { return (f * 37) % 0x7FFF0; });
}

std::vector<uint8_t> Upper(const LWavePicture& p) { return {p.upper.begin(), p.upper.begin() + p.Width()}; }

} // namespace

TEST(WaveView, ScrollingKeepsTheColumnsOnScreenAndComputesOnlyTheExposedOnes)
{
    LWaveMapping m = MapOf(100, 1000, 200);  // 2 frames per pixel
    EXPECT_EQ(m.FrameToPixel(999), -1);
    EXPECT_EQ(m.FrameToPixel(1010), 5);
    EXPECT_EQ(m.FrameToPixel(5000), 100);
    EXPECT_EQ(m.PixelToFrame(5), 1010);
    LWaveApply a = m.Apply(1020, 200);
    EXPECT_EQ(a.shift, -10);
    EXPECT_EQ(std::pair(a.from, a.to), std::pair(89, 100)) << "exposed on the right, one column of overlap";
    a = m.Apply(1000, 200);
    EXPECT_EQ(std::pair(a.from, a.to), std::pair(0, 11));
    a = m.Apply(1001, 200);
    EXPECT_EQ(a.to - a.from, 0) << "less than a pixel moves nothing";
    a = m.Apply(1201, 200);
    EXPECT_EQ(std::pair(a.from, a.to), std::pair(0, 100)) << "a jump of a whole width";
    a = m.Apply(1201, 100);
    EXPECT_TRUE(a.zoom);
    EXPECT_EQ(LWaveMapping().FrameToPixel(0), -1) << "an empty view maps nothing";

    // Through the thread, on audio and on peaks: a scrolled picture equals a fresh one.
    LCutListAudio list = Ramp(300000);
    for (int32_t length : {5000, 100000}) {
        LKVWaveModel view;
        view.SetSize(202, 50);
        view.Start(list, kWaveModePosNeg, false);
        view.SetView(1000, length);
        ASSERT_TRUE(view.WaitIdle(10000));
        for (int32_t start : {1000 + length / 10, 1000 + length / 10 - length / 33, 1000}) {
            view.SetView(start, length);
            ASSERT_TRUE(view.WaitIdle(10000));
            EXPECT_EQ(Upper(view.Picture()), test::ColumnsOf(list, MapOf(200, start, length), [](auto& c, auto& mm, auto* u, auto* l) {
                          c.Compute(mm, 0, 200, kWaveModePosNeg, false, u, l, nullptr);
                      }).upper)
                << "length " << length << " start " << start;
        }
    }
}

TEST(WaveView, RequestsCoalesceAndResultsReachTheWindowThroughTheDispatcher)
{
    LCutListAudio list = Ramp(50000);
    HeldModel view;
    Recorder rec;
    view.SetListener(&rec);
    view.SetSize(102, 40);
    view.Start(list, kWaveModePosNeg, false);
    LUiDispatcher().DrainPending();
    rec.ranges.clear();
    {
        std::lock_guard hold(view.Lock());
        view.SetView(0, 10000);
        view.SetView(0, 20000);
        view.SetView(0, 30000);
    }
    ASSERT_TRUE(view.WaitIdle(10000));
    EXPECT_LE(view.ComputedRequests(), 2);
    EXPECT_EQ(view.Mapping().ViewLength(), 30000) << "the latest request wins";
    EXPECT_TRUE(rec.ranges.empty()) << "nothing runs on the window side before the dispatcher does";
    LUiDispatcher().DrainPending();
    ASSERT_FALSE(rec.ranges.empty());
    EXPECT_EQ(rec.ranges.back(), std::pair(0, 100));

    const int32_t before = view.ComputedRequests();
    view.SetView(0, 30000);
    ASSERT_TRUE(view.WaitIdle(10000));
    EXPECT_EQ(view.ComputedRequests(), before) << "the pair already shown is not computed again";
}

TEST(WaveView, ThePrivateCopyKeepsSegmentsAliveUntilTheViewStops)
{
    auto* doc = new LCutListAudio(Ramp(20000));
    std::string aud = LAudioCutTank::Get().GetAudFilePath(doc->Cuts()[0].Segment());
    LKVWaveModel view;
    view.SetSize(102, 40);
    view.Start(*doc, kWaveModePosNeg, false);
    auto expected = test::ColumnsOf(*doc, MapOf(100, 0, 20000), [](auto& c, auto& m, auto* u, auto* l) {
        c.Compute(m, 0, 100, kWaveModePosNeg, false, u, l, nullptr);
    });
    delete doc;
    EXPECT_TRUE(FileExists(aud));
    view.SetView(0, 20000);
    ASSERT_TRUE(view.WaitIdle(10000));
    EXPECT_EQ(Upper(view.Picture()), expected.upper);
    view.Stop();
    EXPECT_FALSE(FileExists(aud));
    EXPECT_FALSE(view.Picture().enabled);
}

TEST(WaveView, DraggingSelectsBetweenPressAndPointerAndReportsTheEdges)
{
    LCutListAudio list = Ramp(1000);
    LKVWaveModel view;
    view.SetSize(102, 40);  // 100 columns, 10 frames each
    view.Start(list, kWaveModePosNeg, false);
    view.SetView(0, 1000);
    ASSERT_TRUE(view.WaitIdle(10000));

    EXPECT_TRUE(view.MouseMove(50).empty()) << "no capture, no drag";
    EXPECT_TRUE(view.MouseDown(60).empty());
    EXPECT_EQ(view.MouseMove(80), std::vector<int32_t>{kWaveSelecting});
    EXPECT_EQ(view.MouseMove(30), std::vector<int32_t>{kWaveSelecting});
    EXPECT_EQ(std::pair(view.SelectionStart(), view.SelectionEnd()), std::pair(300, 600))
        << "moving back across the press point drops the earlier side";
    EXPECT_EQ(view.MouseMove(100), (std::vector<int32_t>{kWaveDragRight, kWaveSelecting}));
    EXPECT_EQ(view.MouseMove(120), std::vector<int32_t>{kWaveSelecting});
    EXPECT_EQ(view.SelectionEnd(), 1000) << "the pointer counts at the edge";
    EXPECT_EQ(view.MouseMove(0), (std::vector<int32_t>{kWaveSelecting}))
        << "a drag already past an edge reports nothing new";
    EXPECT_EQ(view.MouseMove(50), (std::vector<int32_t>{kWaveDragBackRight, kWaveSelecting}));
    EXPECT_EQ(view.MouseMove(-5), (std::vector<int32_t>{kWaveDragLeft, kWaveSelecting}));
    EXPECT_EQ(view.MouseUp(20), (std::vector<int32_t>{kWaveDragBackLeft, kWaveReleased}));
    EXPECT_EQ(std::pair(view.SelectionStart(), view.SelectionEnd()), std::pair(200, 600))
        << "released right to left: the release point starts the selection";
    EXPECT_EQ(view.Cursor(), 200);
    EXPECT_TRUE(view.MouseUp(20).empty()) << "a release without capture is ignored";

    // While a drag is past the right edge the selection end follows the view.
    view.MouseDown(50);
    view.MouseMove(100);
    view.SetView(300, 1000);
    ASSERT_TRUE(view.WaitIdle(10000));
    EXPECT_EQ(view.SelectionEnd(), 1300);
    EXPECT_EQ(view.DragScrollState(), kWaveDragRight);
}

TEST(WaveView, PictureRolesForSelectionCursorBandAndThePastTheEndArea)
{
    LCutListAudio list = Ramp(1000);
    LKVWaveModel view;
    view.SetSize(102, 41);
    view.Start(list, kWaveModePosNeg, false);
    view.SetEnd(800);
    view.SetSelectionStart(100);
    view.SetSelectionEnd(300);
    view.SetCursor(250, 100);
    view.SetView(0, 1000);
    ASSERT_TRUE(view.WaitIdle(10000));
    LWavePicture p = view.Picture();
    EXPECT_EQ(p.Role(9), LWaveRole::Normal);
    EXPECT_EQ(p.Role(10), LWaveRole::Selection);
    EXPECT_EQ(p.Role(25), LWaveRole::CursorLine);
    EXPECT_EQ(p.Role(26), LWaveRole::BandInSelection);
    EXPECT_EQ(p.Role(30), LWaveRole::BandOutsideSelection);
    EXPECT_EQ(p.Role(35), LWaveRole::Normal);
    EXPECT_EQ(p.Role(80), LWaveRole::PastEnd);
    view.SetCursor(1000, 0);
    EXPECT_EQ(view.Picture().CursorColumn(), 99) << "a cursor at the right edge is drawn one column left";

    p.upper[3] = 255;
    p.lower[3] = 0;
    EXPECT_EQ(p.ColumnSpan(3).top, 1);
    EXPECT_EQ(p.ColumnSpan(3).bottom, 21) << "mid = 20: a one-pixel line at the centre";

    // An empty document shows one second on the wave's own background.
    LCutListAudio empty;
    view.Start(empty, kWaveModePosNeg, false);
    view.SetEnd(0);
    view.SetView(0, 44100);
    ASSERT_TRUE(view.WaitIdle(10000));
    EXPECT_EQ(view.Picture().Role(0), LWaveRole::Normal);
    EXPECT_EQ(view.Picture().Role(99), LWaveRole::Normal);
}

TEST(WaveView, TheStripShowsPeakMagnitudesOfItsOwnSource)
{
    LCutListAudio list = ListOf({0x1000, -0x20000, 0x3FBFF, 0, 0x7FFF0, -0x7FFF0}, 8000, 2);
    LWaveModel strip;
    strip.SetSize(10, 20);  // 8 columns: 2 pixels per frame over a view of 4 frames
    strip.Start(list.OpenSource());
    strip.SetView(0, 4);
    ASSERT_TRUE(strip.WaitIdle(10000));
    LWavePicture p = strip.Picture();
    EXPECT_TRUE(p.symmetric);
    EXPECT_EQ(Upper(p), (std::vector<uint8_t>{0, 128, 0, 254, 0, 255, 0, 0}));
}
