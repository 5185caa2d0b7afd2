#include <gtest/gtest.h>

#include "display/DisplayTestSupport.h"
#include "display/LKVFileWindowModel.h"

namespace {

// A document of `frames` frames at 1000 Hz with its views sized to 100 columns.
struct Doc {
    LKVFile file;
    LKVFileWindowModel model{file};
    explicit Doc(int32_t frames, uint8_t channels = 1)
    {
        if (frames > 0)
            file.audio = test::ListOfLevels(frames, channels, [](int32_t, int32_t) { return 0x1000; }, 1000);
        file.audio.sampleRate = 1000;
        file.audio.channels = channels;
        file.pos.viewEnd = frames;
        model.Main().SetSize(102, 40);
        model.Overview().SetSize(102, 10);
        model.InitWavWindow();
    }
    std::pair<int32_t, int32_t> View() const { return {file.pos.viewStart, file.pos.viewEnd}; }
    // What the main view was last asked to show, once its thread has it.
    std::pair<int32_t, int32_t> Shown()
    {
        EXPECT_TRUE(model.Main().WaitIdle(10000));
        LWaveMapping m = model.Main().Mapping();
        return {m.ViewStart(), m.ViewStart() + m.ViewLength()};
    }
};

} // namespace

TEST(FileWindowModel, ZoomStaysBetweenAHundredFramesAndTheWholeDocument)
{
    Doc d(100000);
    EXPECT_EQ(d.Shown(), std::pair(0, 100000));
    d.file.pos.cursor = 30000;
    d.model.CmZoomIn();
    EXPECT_EQ(d.View(), std::pair(5000, 55000)) << "half as wide, centred on the cursor";
    EXPECT_EQ(d.Shown(), d.View());
    for (int i = 0; i < 20; ++i)
        d.model.CmZoomIn();
    EXPECT_EQ(d.View(), std::pair(29950, 30050));
    d.file.pos.cursor = 99990;
    d.model.CmZoomIn();
    EXPECT_EQ(d.View(), std::pair(99900, 100000)) << "at the end the view keeps its hundred frames";

    d.model.CmZoomOut();
    EXPECT_EQ(d.View(), std::pair(99800, 100000));
    d.file.pos.viewStart = 10000;
    d.file.pos.viewEnd = 70000;
    d.model.CmZoomOut();
    EXPECT_EQ(d.View(), std::pair(0, 100000)) << "never wider than the document";

    d.file.pos.selStart = 200;
    d.file.pos.selEnd = 300;
    d.model.CmZoomToSelection();
    EXPECT_EQ(d.View(), std::pair(200, 300));
    d.file.pos.selEnd = 200;
    d.model.CmZoomToSelection();
    EXPECT_EQ(d.View(), std::pair(200, 300)) << "no selection, no zoom";
    d.model.CmZoomFull();
    EXPECT_EQ(d.Shown(), std::pair(0, 100000));
}

TEST(FileWindowModel, InitShowsAValidRangeAndOneSecondOfAnEmptyDocument)
{
    Doc empty(0);
    EXPECT_EQ(empty.View(), std::pair(0, 1000));
    EXPECT_EQ(empty.Shown(), std::pair(0, 1000));
    ASSERT_TRUE(empty.model.Overview().WaitIdle(10000));
    EXPECT_EQ(empty.model.Overview().Mapping().ViewLength(), 1000);
    empty.model.CmZoomOut();
    empty.model.CmZoomFull();
    EXPECT_EQ(empty.View(), std::pair(0, 1000));

    Doc d(5000);
    d.file.pos.viewStart = 7000;
    d.file.pos.viewEnd = 9000;
    d.model.InitWavWindow();
    EXPECT_EQ(d.View(), std::pair(0, 5000)) << "a range past the end";
    d.file.pos.viewStart = 1000;
    d.file.pos.viewEnd = 9000;
    d.model.InitWavWindow();
    EXPECT_EQ(d.View(), std::pair(1000, 5000));
}

TEST(FileWindowModel, DisplayOptionsRestartTheViewsAndMonoIgnoresLeftRight)
{
    Doc mono(3000);
    EXPECT_FALSE(mono.model.DisplayModeEnabled());
    mono.model.CmSetWavDisplayMode(kWaveModeLeftRight);
    EXPECT_EQ(mono.file.displayMode, kWaveModeLeftRight);
    ASSERT_TRUE(mono.model.Main().WaitIdle(10000));
    LWavePicture p = mono.model.Main().Picture();
    EXPECT_EQ(p.upper[50], 0x1000 >> 11);
    EXPECT_EQ(p.lower[50], 0) << "a positive mono signal is drawn above the line only";

    Doc stereo(3000, 2);
    EXPECT_TRUE(stereo.model.DisplayModeEnabled());
    stereo.model.CmSetWavDisplayMode(kWaveModeLeftRight);
    ASSERT_TRUE(stereo.model.Main().WaitIdle(10000));
    EXPECT_EQ(stereo.model.Main().Picture().lower[50], 0x1000 >> 11) << "the right channel below";
    stereo.model.CmZoomVertical();
    EXPECT_EQ(stereo.file.verticalZoom, 1);
    EXPECT_TRUE(stereo.model.Main().VerticalZoom());
    EXPECT_FALSE(stereo.model.Overview().VerticalZoom()) << "the overview is never magnified";
    ASSERT_TRUE(stereo.model.Main().WaitIdle(10000));
    EXPECT_EQ(stereo.model.Main().Picture().lower[50], 0x1000 >> 8);
}

TEST(FileWindowModel, ScrollBarAndWheelMoveTheViewOnlyAndAMovedCursorBringsItBack)
{
    Doc d(100000);
    d.file.pos.viewStart = 20000;
    d.file.pos.viewEnd = 30000;
    d.file.pos.cursor = 24500;
    d.file.pos.selStart = 24000;
    d.file.pos.selEnd = 26000;
    d.model.CursorMoved(false);
    const LKVFileWindowModel::ScrollBar bar = d.model.ScrollBarState();
    EXPECT_EQ(bar.maximum, 90000);
    EXPECT_EQ(bar.page, 10000);
    EXPECT_EQ(bar.line, 1000);
    EXPECT_EQ(bar.value, 20000);
    d.model.ScrollViewTo(95000);
    EXPECT_EQ(d.View(), std::pair(90000, 100000)) << "held within the document";
    d.model.Wheel(-2 * 120, 0, 50, 100, false, false);
    EXPECT_EQ(d.View(), std::pair(90000, 100000));
    d.model.Wheel(120, 0, 50, 100, false, false);
    EXPECT_EQ(d.View(), std::pair(89000, 99000)) << "a notch up: a tenth of the view back";
    d.model.Wheel(120, 0, 50, 100, false, true);
    EXPECT_EQ(d.View(), std::pair(84000, 94000)) << "with Shift half of it";
    d.model.Wheel(0, 30, 50, 100, false, false);
    EXPECT_EQ(d.View(), std::pair(81000, 91000)) << "a touchpad's sideways pixels move with the content";
    EXPECT_EQ(d.file.pos.cursor, 24500);
    EXPECT_EQ(d.file.pos.selStart, 24000);
    EXPECT_EQ(d.file.pos.selEnd, 26000);
    // Refreshing the marks with the cursor where it was keeps the view the user chose.
    d.model.CursorMoved(false);
    EXPECT_EQ(d.View(), std::pair(81000, 91000));

    d.file.pos.viewStart = 10000;
    d.file.pos.viewEnd = 20000;
    d.file.pos.cursor = 25000;
    d.model.CursorMoved(false);
    EXPECT_EQ(d.View(), std::pair(15000, 25000)) << "the view ends at a cursor past it";
    d.file.pos.cursor = 2000;
    d.model.CursorMoved(true);
    EXPECT_EQ(d.View(), std::pair(2000, 12000)) << "and starts at a cursor before it";
    EXPECT_EQ(d.Shown(), d.View());
    EXPECT_EQ(d.model.Main().Picture().band, 25) << "25 ms of band while cueing";
    EXPECT_EQ(d.model.Overview().Picture().band, 0);

    EXPECT_TRUE(d.model.DragScrollStep(kWaveDragRight));
    EXPECT_EQ(d.View(), std::pair(3000, 13000));
    d.file.pos.viewStart = 500;
    d.file.pos.viewEnd = 10500;
    EXPECT_TRUE(d.model.DragScrollStep(kWaveDragLeft));
    EXPECT_FALSE(d.model.DragScrollStep(kWaveDragLeft));
    EXPECT_EQ(d.View(), std::pair(0, 10000));
}

TEST(FileWindowModel, WheelZoomKeepsTheFrameUnderThePointer)
{
    // Ten hours at 44100 Hz, 1000 columns, from the whole file down to a
    // tenth of a frame per column and back.
    LKVFile file;
    file.audio.sampleRate = 44100;
    file.audio.Add(LCut::Silence(44100 * 36000));
    LKVFileWindowModel model(file);
    file.pos.viewEnd = file.audio.GetLength();
    const int32_t width = 1000;
    for (int32_t column : {1, 333, 500, 998}) {
        file.pos.viewStart = 0;
        file.pos.viewEnd = file.audio.GetLength();
        // Away from the ends, where the view cannot follow the pointer.
        model.ZoomAround(500, width, 1.0 / 64);
        for (int step = 0; step < 60; ++step) {
            const int32_t angle = step < 40 ? 120 : -120;
            const int32_t length = file.pos.viewEnd - file.pos.viewStart;
            const int32_t frame = LWaveMapping::Of(width, file.pos.viewStart, length).PixelToFrame(column);
            model.Wheel(angle, 0, column, width, true, false);
            const LWaveMapping after =
                LWaveMapping::Of(width, file.pos.viewStart, file.pos.viewEnd - file.pos.viewStart);
            EXPECT_LE(after.PixelToFrame(column), frame) << "column " << column << " step " << step;
            EXPECT_GT(after.PixelToFrame(column + 1), frame) << "column " << column << " step " << step;
        }
    }
}

TEST(FileWindowModel, AChangeOutsideTheViewIsShownFromItsStart)
{
    Doc d(100000);
    d.file.pos.viewStart = 10000;
    d.file.pos.viewEnd = 20000;
    d.file.pos.cursor = 15000;
    d.model.ShowChange();
    EXPECT_EQ(d.View(), std::pair(10000, 20000)) << "in view: nothing moves";
    d.file.pos.cursor = 60000;
    d.model.ShowChange();
    EXPECT_EQ(d.View(), std::pair(59000, 69000));
    d.file.pos.cursor = 99999;
    d.model.ShowChange();
    EXPECT_EQ(d.View(), std::pair(90000, 100000)) << "held within the document";
}
