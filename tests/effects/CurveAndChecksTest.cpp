#include <gtest/gtest.h>

#include "effects/LBrainWaveWindow.h"
#include "edit/EditTestSupport.h"
#include "effects/LEfChangeSpeedPitch.h"
#include "effects/LEfDialogChecks.h"
#include "effects/LEfPreview.h"
#include "effects/PointList.h"
#include "support/TestSupport.h"

using test::TempPath;
using Pt = PointList::Point;

TEST(PointList, FilesLoadValidatedAndFallBackToFlat)
{
    const std::string path = TempPath("envelope.dat");
    // Missing: the flat curve, written back.
    EXPECT_EQ(PointList::Load(path), PointList::Flat());
    EXPECT_EQ(test::ReadFileBytes(path), std::string("\x02\x00\x80\xff\x80", 5));
    // Decreasing x is raised to the predecessor's; a round trip keeps the rest.
    test::WriteFileBytes(path, std::string("\x03\x00\x10\x90\x20\x40\x30", 7));
    PointList p = PointList::Load(path);
    EXPECT_EQ(p, PointList::Of({{0, 0x10}, {0x90, 0x20}, {0x90, 0x30}}));
    ASSERT_TRUE(p.Save(path));
    EXPECT_EQ(PointList::Load(path), p);
    // More than 64 points: 64 are kept. A count beyond the bytes present keeps
    // only the whole points there.
    std::string many(1, char(200));
    for (int i = 0; i < 200; ++i)
        many += std::string{char(i), char(7)};
    test::WriteFileBytes(path, many);
    EXPECT_EQ(PointList::Load(path).nPoints, 64);
    test::WriteFileBytes(path, std::string("\x05\x00\x01\x02", 4));
    EXPECT_EQ(PointList::Load(path), PointList::Of({{0, 1}}));
    // Zero points: flat again; "Set Flat" does the same on purpose.
    test::WriteFileBytes(path, std::string(1, '\0'));
    EXPECT_EQ(PointList::Load(path), PointList::Flat());
    // Batch data: 129 bytes whose count byte claims 255.
    std::vector<uint8_t> data(PointList::kBytes, 9);
    data[0] = 255;
    EXPECT_EQ(PointList::FromBytes(data.data(), data.size()).nPoints, 64);
    EXPECT_EQ(PointList::FromUi(p.ToUi()), p);
}

TEST(BrainWaveWindow, MappingHitTestInsertAndTheLimit)
{
    LBrainWaveWindow w;
    w.points = PointList::Flat();
    w.SetSize(512, 0);
    EXPECT_EQ(w.Height(), 1);  // a zero height would divide by zero
    w.SetSize(512, 256);
    EXPECT_EQ(w.PointX(-30), 0);
    EXPECT_EQ(w.HitTest(4, 124), 0);
    EXPECT_EQ(w.HitTest(5, 128), -1);

    // A click on empty space inserts before the first point with a greater x.
    LBrainWaveWindow::Result r = w.LeftDown(200, 56);  // (100, 199)
    EXPECT_TRUE(r.repaint);
    EXPECT_EQ(w.points, PointList::Of({{0, 128}, {100, 199}, {255, 128}}));
    EXPECT_EQ(w.selected, 1);
    EXPECT_EQ(w.ButtonUp().notify, (std::vector<LBrainWaveWindow::Notify>{{LBrainWaveWindow::kMsgChanged, 0, 0}}));

    // Points 6 apart on alternating heights, so no click lands on an earlier one.
    for (int32_t n = 0; w.points.nPoints < 63; ++n) {
        ASSERT_LT(n, 63);
        w.LeftDown(2 * (n * 3 + 10), n % 2 ? 10 : 240);
        w.ButtonUp();
    }
    const PointList full = w.points;
    w.LeftDown(500, 10);
    EXPECT_EQ(w.points, full) << "no point beyond 63 from a click";
}

TEST(BrainWaveWindow, DragClampsBetweenNeighboursAndRightClickDeletes)
{
    LBrainWaveWindow w;
    w.SetSize(256, 256);
    w.points = PointList::Of({{0, 128}, {60, 100}, {120, 50}, {255, 128}});
    w.LeftDown(60, 155);  // on (60, 100)
    ASSERT_EQ(w.selected, 1);
    LBrainWaveWindow::Result r = w.MouseMove(200, -40, true);  // past its right neighbour, above the top
    EXPECT_EQ(w.points.points[1], (Pt{120, 255}));
    EXPECT_EQ(r.notify, (std::vector<LBrainWaveWindow::Notify>{{LBrainWaveWindow::kMsgPosition, 120, 255}}));
    w.ButtonUp();
    // The end points keep their x.
    w.LeftDown(255, 127);
    ASSERT_EQ(w.selected, 3);
    w.MouseMove(10, 200, true);
    EXPECT_EQ(w.points.points[3], (Pt{255, 55}));
    w.ButtonUp();
    // Right click removes a middle point, never an end one.
    w.RightDown(120, 0);
    EXPECT_EQ(w.points.nPoints, 3);
    w.RightDown(0, 127);
    w.RightDown(255, 199);
    EXPECT_EQ(w.points.nPoints, 3);
    // A selection left over from a longer list removes nothing.
    w.selected = 40;
    w.RightDown(128, 0);
    EXPECT_EQ(w.points.nPoints, 3);
    EXPECT_LT(w.selected, w.points.nPoints);
}

TEST(BrainWaveWindow, Readouts)
{
    EXPECT_EQ(LBrainWaveWindow::EnvelopeReadout(255, 128, 1000, 2000), "(0:00:03.00, 100 %)");
    EXPECT_EQ(LBrainWaveWindow::EqualizerReadout(64, 128), "5019 Hz, 100 %");
    EXPECT_EQ(LBrainWaveWindow::EqualizerReadout(255, 255), "20000 Hz, 199 %");
}

TEST(DialogChecks, MessagesAndOrder)
{
    EXPECT_EQ(CheckAmplifyGain(400), "");
    EXPECT_EQ(CheckAmplifyGain(401), "Amplify Gain must be less than 400%. Please try again.");
    EXPECT_EQ(CheckNormalizePeakLevel(101), "Normailze Peak Level must be less than 100%. Please try again.");
    EXPECT_EQ(CheckEcho(3000, 100), "Echo time must be between 10 and 3000ms. Please try again.");
    EXPECT_EQ(CheckEcho(9, 0), "Echo time must be between 10 and 3000ms. Please try again.");
    EXPECT_EQ(CheckEcho(2999, 100), "Echo Gain must be less than 100%. Please try again.");
    EXPECT_EQ(CheckReverb(101, 10), "Reverb level must be less than 100. Please try again.");
    EXPECT_EQ(CheckReverb(100, 1001), "Reverb time must be between 50 and 1000. Please try again.");
    EXPECT_EQ(CheckPasteMixVolume(101), "Mix Volume must be less than 100%. Please try again.");
    EXPECT_EQ(CheckSpeedChangePercent(300), "");
    EXPECT_EQ(CheckSpeedChangePercent(301), "Speed Change Percent must be less than 300.");
    for (int32_t mode = 0; mode < 3; ++mode)
        EXPECT_EQ(SpeedChangeModeOf(SpeedChangeCommandName(mode)), mode);
    EXPECT_EQ(SpeedChangeModeOf("Echo"), -1);
    EXPECT_STREQ(SpeedChangeFieldLabel(2), "Pitch Adjust (%)");
}

TEST(Preview, ClampsTypedValuesAndPlaysACopyFromItsStart)
{
    EXPECT_EQ(LEfPreview::EchoTimeMs(3000), 3000);  // refused by OK, played by the preview
    EXPECT_EQ(LEfPreview::EchoTimeMs(5), 10);
    EXPECT_EQ(LEfPreview::HighPassValue(INT32_MAX), INT32_MAX);
    EXPECT_EQ(LEfPreview::HighPassValue(250), 500);

    EXPECT_FALSE(LEfPreview(LCutListAudio()).CanPreview());
    std::vector<int32_t> in = test::Sine(3000, 8000, 300, 10000);
    LCutListAudio doc = test::ListOf(in, 8000, 1);
    LEfPreview preview(doc);
    ASSERT_TRUE(preview.CanPreview());
    doc.EfDelete(0, 3000);  // the dialog's copy is not the document
    LSoundSource s = preview.MakeSource(*LEfChangeSpeedPitch::MakeMaker(1, 100));
    EXPECT_EQ(test::ReadAll(s), in);
}

TEST(BrainWaveWindow, KeysMoveSelectAddAndRemoveTheSelectedPoint)
{
    LBrainWaveWindow w;
    w.points = PointList::Of({{0, 128}, {60, 100}, {120, 50}, {255, 128}});
    w.selected = 1;
    // Moves are clamped as a drag is, and report only the position until the key is up.
    EXPECT_EQ(w.Nudge(100, 1).notify, (std::vector<LBrainWaveWindow::Notify>{{LBrainWaveWindow::kMsgPosition, 120, 101}}));
    w.Nudge(0, 500);
    EXPECT_EQ(w.points.points[1], (Pt{120, 255}));
    EXPECT_EQ(w.KeyUp().notify, (std::vector<LBrainWaveWindow::Notify>{{LBrainWaveWindow::kMsgChanged, 0, 0}}));
    EXPECT_TRUE(w.KeyUp().notify.empty()) << "one change, one report";
    // The first point stays at x = 0 whatever the key.
    w.SelectStep(-5);
    ASSERT_EQ(w.selected, 0);
    w.Nudge(7, -28);
    EXPECT_EQ(w.points.points[0], (Pt{0, 100}));
    // Insert halves the way to the next point; Delete takes it out again.
    w.SelectStep(2);
    ASSERT_EQ(w.selected, 2);
    w.InsertAfterSelected();
    EXPECT_EQ(w.points, PointList::Of({{0, 100}, {120, 255}, {120, 50}, {187, 89}, {255, 128}}));
    EXPECT_EQ(w.selected, 3);
    w.RemoveSelected();
    EXPECT_EQ(w.points.nPoints, 4);
    EXPECT_EQ(w.KeyUp().notify.size(), 1u);
    w.SelectStep(PointList::kMaxPoints);
    w.RemoveSelected();
    EXPECT_EQ(w.points.nPoints, 4) << "the last point stays";
    EXPECT_TRUE(w.KeyUp().notify.empty());
}
