#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "core/LFile.h"
#include "display/DisplayTestSupport.h"

using test::ColumnsOf;
using test::ListOf;
using test::MapOf;

namespace {

using Method = std::function<void(LKVWaveColumns&, const LWaveMapping&, uint8_t*, uint8_t*)>;

Method PosNeg(bool zoom = false)
{
    return [zoom](LKVWaveColumns& c, const LWaveMapping& m, uint8_t* u, uint8_t* l) {
        c.CreateWaveShortPosNeg(m, 0, m.Width(), zoom, u, l, nullptr);
    };
}
Method LeftRight()
{
    return [](LKVWaveColumns& c, const LWaveMapping& m, uint8_t* u, uint8_t* l) {
        c.CreateWaveShortLeftRight(m, 0, m.Width(), false, u, l, nullptr);
    };
}
Method Long(int32_t mode, bool zoom = false)
{
    return [mode, zoom](LKVWaveColumns& c, const LWaveMapping& m, uint8_t* u, uint8_t* l) {
        c.CreateWaveLong(m, 0, m.Width(), mode, zoom, u, l, nullptr);
    };
}
Method Chosen(int32_t mode)
{
    return [mode](LKVWaveColumns& c, const LWaveMapping& m, uint8_t* u, uint8_t* l) {
        c.Compute(m, 0, m.Width(), mode, false, u, l, nullptr);
    };
}

// |a - b| <= 1 for every column.
void ExpectWithinOneStep(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, const char* what)
{
    ASSERT_EQ(a.size(), b.size());
    for (size_t x = 0; x < a.size(); ++x)
        EXPECT_LE(std::abs(int(a[x]) - int(b[x])), 1) << what << " column " << x;
}

} // namespace

TEST(WaveColumns, AudioColumnsTakeMaximaAndMinimaOverTheirFrames)
{
    // 6 mono frames, 2 per column; the columns past the end are empty.
    LCutListAudio list = ListOf({0x7FFF0, -0x800, 0x1000, 0x1800, -0x7FFF0, -0x100000 / 2});
    auto c = ColumnsOf(list, MapOf(8, 0, 16), PosNeg());
    EXPECT_EQ(c.upper, (std::vector<uint8_t>{255, 3, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(c.lower, (std::vector<uint8_t>{1, 0, 255, 0, 0, 0, 0, 0}));
    // Zoomed in beyond a frame per column, each frame stands in the last column of its group.
    c = ColumnsOf(list, MapOf(8, 0, 4), PosNeg());
    EXPECT_EQ(c.upper, (std::vector<uint8_t>{0, 255, 0, 0, 0, 2, 0, 3}));

    // One eighth of full scale reaches the edge when magnified; the cut's gain counts.
    LCutListAudio eighth = ListOf({0x7FFF0 / 8, -0x7FFF0 / 16});
    EXPECT_EQ(ColumnsOf(eighth, MapOf(8, 0, 8), PosNeg(true)).upper[0], 255);
    EXPECT_EQ(ColumnsOf(eighth, MapOf(8, 0, 8), PosNeg(true)).lower[1], 127);
    eighth.EfAmplifyAll(50);
    EXPECT_EQ(ColumnsOf(eighth, MapOf(8, 0, 8), PosNeg(true)).upper[0], 127);

    // A width under 8 still maps 8 pixels across the view: 4 columns show 4 of 8 frames.
    LWaveMapping narrow = MapOf(4, 0, 8);
    EXPECT_EQ(narrow.PixelToFrame(4), 4);
    EXPECT_EQ(narrow.FrameToPixel(7), 4);
}

TEST(WaveColumns, LeftRightShowsEachChannelsMagnitudeAndMonoFallsBackToPositiveNegative)
{
    LCutListAudio stereo = ListOf({0x4000, -0x8000, -0x10000, 0x2000}, 8000, 2);
    auto lr = ColumnsOf(stereo, MapOf(8, 0, 2), LeftRight());
    // 4 pixels per frame: column 3 shows frame 0, column 7 frame 1.
    EXPECT_EQ(lr.upper[3], 0x4000 >> 11);
    EXPECT_EQ(lr.lower[3], 0x8000 >> 11);
    EXPECT_EQ(lr.upper[7], 0x10000 >> 11);
    EXPECT_EQ(lr.lower[7], 0x2000 >> 11);
    auto pn = ColumnsOf(stereo, MapOf(8, 0, 2), PosNeg());
    EXPECT_EQ(pn.upper[3], 0x4000 >> 11);
    EXPECT_EQ(pn.lower[7], 0x10000 >> 11);

    LCutListAudio mono = ListOf({0x4000, -0x8000});
    EXPECT_EQ(ColumnsOf(mono, MapOf(8, 0, 2), LeftRight()).lower,
              ColumnsOf(mono, MapOf(8, 0, 2), PosNeg()).lower);
    EXPECT_EQ(ColumnsOf(mono, MapOf(8, 0, 2), Long(kWaveModeLeftRight)).upper,
              ColumnsOf(mono, MapOf(8, 0, 2), Long(kWaveModePosNeg)).upper);
}

TEST(WaveColumns, LanesGiveEachStereoChannelItsOwnPositiveAndNegativeFromAudioAndPeaks)
{
    // Left: a positive half and a negative half; right: silent, then a small bump.
    auto level = [](int32_t f, int32_t c) {
        if (c == 0)
            return f < 2048 ? 0x40000 : -0x20000;
        return f < 2048 ? 0 : 0x8000;
    };
    LCutListAudio stereo = test::ListOfLevels(4096, 2, level);
    for (int32_t length : {4096, 16 * 4096}) {  // from the audio, then from the peak files
        std::vector<uint8_t> upper(2 * kWaveLaneStride), lower(2 * kWaveLaneStride);
        LKVWaveColumns c(stereo);
        ASSERT_TRUE(c.Compute(MapOf(8, 0, length), 0, 8, kWaveModeLanes, false, upper.data(), lower.data(), nullptr));
        // Columns of the first and the second half; zoomed out, column 0 holds both.
        const int32_t early = length == 4096 ? 1 : 0, late = length == 4096 ? 6 : 0;
        EXPECT_EQ(upper[early], 0x40000 >> 11) << length;
        EXPECT_EQ(lower[late], 0x20000 >> 11) << length;
        EXPECT_EQ(upper[kWaveLaneStride + late], 0x8000 >> 11) << length;
        EXPECT_EQ(lower[kWaveLaneStride + late], 0) << length;
        if (length == 4096) {
            EXPECT_EQ(lower[early], 0) << "nothing below the left line in the first half";
            EXPECT_EQ(upper[kWaveLaneStride + early], 0) << "the right lane is silent at first";
        }
    }
    // Anything but stereo has one lane.
    LCutListAudio mono = ListOf({0x4000, -0x8000});
    EXPECT_EQ(ColumnsOf(mono, MapOf(8, 0, 2), Chosen(kWaveModeLanes)).lower,
              ColumnsOf(mono, MapOf(8, 0, 2), PosNeg()).lower);
}

TEST(WaveColumns, ViewsUpTo256FramesPerColumnComeFromTheAudioWiderOnesFromThePeakFiles)
{
    LCutListAudio list = ListOf(std::vector<int32_t>(16 * 257, 0x4000));
    // Peak bytes that differ from the audio show which one was read.
    std::string grf = LAudioCutTank::Get().GetGrfFilePath(list.Cuts()[0].Segment());
    test::WriteFileBytes(grf, std::string(test::ReadFileBytes(grf).size(), '\x64'));
    EXPECT_EQ(ColumnsOf(list, MapOf(16, 0, 16 * 256), Chosen(kWaveModePosNeg)).upper[3], 0x4000 >> 11);
    EXPECT_EQ(ColumnsOf(list, MapOf(16, 0, 16 * 256 + 1), Chosen(kWaveModePosNeg)).upper[3], 0x64);
}

TEST(WaveColumns, PeakColumnsMatchTheAudioAcrossCutsGainsAndSilence)
{
    // Stereo, loud left and quieter inverted right, varying every 256 frames.
    auto level = [](int32_t f, int32_t c) {
        int32_t v = ((f / 256) % 7 + 1) * 0x9000;
        return c == 0 ? v : -v / 2;
    };
    LCutListAudio src = test::ListOfLevels(64 * 256, 2, level);
    LCutListAudio doc;
    src.EfCopy(0, 20 * 256, doc);
    LCutListAudio part;
    src.EfCopy(30 * 256, 40 * 256, part);
    part.EfAmplifyAll(200);
    doc.EfInsert(doc.GetLength(), part);
    doc.EfInsertSilence(doc.GetLength(), 8 * 256);
    src.EfCopy(40 * 256, 64 * 256, part);
    part.EfAmplifyAll(30);
    doc.EfInsert(doc.GetLength(), part);
    ASSERT_EQ(doc.Cuts().size(), 4u);

    for (int32_t mode : {kWaveModePosNeg, kWaveModeLeftRight}) {
        // 4 blocks per column, and a view running past the end into silence.
        LWaveMapping map = MapOf(18, 0, 18 * 1024);
        auto fromPeaks = ColumnsOf(doc, map, Long(mode));
        auto fromAudio = ColumnsOf(doc, map, mode == kWaveModePosNeg ? PosNeg() : LeftRight());
        ExpectWithinOneStep(fromPeaks.upper, fromAudio.upper, "upper");
        ExpectWithinOneStep(fromPeaks.lower, fromAudio.lower, "lower");
        EXPECT_EQ(fromPeaks.upper[8], 0) << "the silent cut";
        EXPECT_EQ(fromPeaks.upper[17], 0) << "past the end";
    }
    // A column spanning a loud cut and a quiet one shows the loud one.
    LWaveMapping wide = MapOf(8, 0, 8 * 30 * 256);
    EXPECT_EQ(ColumnsOf(doc, wide, Long(kWaveModePosNeg)).upper[1],
              ColumnsOf(doc, wide, PosNeg()).upper[1]);
}

TEST(WaveColumns, ManyUnalignedCutsDoNotShiftThePeakPicture)
{
    // Quiet audio with one loud stretch at the end, reached through 300 cuts of
    // 1000 frames each starting at unaligned offsets.
    LCutListAudio src = test::ListOfLevels(400 * 1024, 1, [](int32_t f, int32_t) {
        return f >= 399 * 1024 ? 0x70000 : 0x800;
    });
    LCutListAudio doc, piece;
    for (int32_t i = 0; i < 300; ++i) {
        src.EfCopy(i * 1300 + 37, i * 1300 + 1037, piece);
        doc.EfInsert(doc.GetLength(), piece);
    }
    src.EfCopy(399 * 1024, 400 * 1024, piece);
    doc.EfInsert(doc.GetLength(), piece);
    ASSERT_EQ(doc.GetLength(), 300 * 1000 + 1024);
    // 301 columns of 1000 frames (1024 for the last): the loud stretch is the last column only.
    LWaveMapping map = MapOf(301, 0, 301 * 1000);
    auto peaks = ColumnsOf(doc, map, Long(kWaveModePosNeg));
    auto audio = ColumnsOf(doc, map, PosNeg());
    ExpectWithinOneStep(peaks.upper, audio.upper, "upper");
    EXPECT_EQ(peaks.upper[300], 0x70000 >> 11);
    EXPECT_EQ(peaks.upper[299], 1);
}

TEST(WaveColumns, DamagedOrMissingPeakFilesDrawAsSilence)
{
    LCutListAudio list = ListOf(std::vector<int32_t>(4096, 0x7FFF0));
    LWaveMapping map = MapOf(8, 0, 4096 * 2);
    std::string grf = LAudioCutTank::Get().GetGrfFilePath(list.Cuts()[0].Segment());
    std::string bytes = test::ReadFileBytes(grf);
    test::WriteFileBytes(grf, bytes.substr(0, bytes.size() / 2));
    EXPECT_EQ(ColumnsOf(list, map, Long(kWaveModePosNeg)).upper,
              (std::vector<uint8_t>{255, 255, 0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(::unlink(grf.c_str()), 0);
    EXPECT_EQ(ColumnsOf(list, map, Long(kWaveModePosNeg)).upper, std::vector<uint8_t>(8, 0));
}
