#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "display/DisplayTestSupport.h"
#include "display/LAmplitudeScale.h"
#include "display/LFrequencyWindowModel.h"
#include "display/LTimeRuler.h"
#include "display/LWaveMarks.h"

using test::MapOf;

namespace {

// A proportional font as far as the layouts can tell: digits 7 pixels,
// punctuation 3, anything else 8.
int32_t TextWidth(const std::string& text)
{
    int32_t w = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)  // one per UTF-8 character
            w += (c >= '0' && c <= '9') ? 7 : (c == ':' || c == '.' || c == '-') ? 3 : 8;
    return w;
}

// The ms of a "h:mm:ss.cc" label.
int64_t ParseTime(const std::string& label)
{
    int h = 0, m = 0, s = 0, cs = 0;  // sscanf's types
    EXPECT_EQ(std::sscanf(label.c_str(), "%d:%2d:%2d.%2d", &h, &m, &s, &cs), 4) << label;
    EXPECT_EQ(LTimeRuler::TimeLabel(((int64_t(h) * 60 + m) * 60 + s) * 1000 + cs * 10), label) << "h:mm:ss.cc";
    return ((int64_t(h) * 60 + m) * 60 + s) * 1000 + cs * 10;
}

} // namespace

TEST(TimeRuler, LabelsNeverCollideAndFallOnRoundTimesFromOneFrameToTwoMillionFramesAColumn)
{
    const int32_t rate = 44100, width = 1000, gap = 8;
    bool sawFrames = false, sawHours = false;
    for (int32_t fpp : {1, 2, 5, 20, 100, 441, 2000, 10000, 50000, 200000, 800000, 2000000}) {
        const int32_t length = fpp * width;
        // An awkward start, far from any round time.
        const int32_t start = int32_t(std::min<int64_t>(int64_t(fpp) * 1234 + 17, INT32_MAX - int64_t(length)));
        const LWaveMapping map = MapOf(width, start, length);
        const LTimeRuler::Layout layout = LTimeRuler::Compute(map, rate, TextWidth, gap);
        int32_t labelled = 0, previousEnd = INT32_MIN, previousColumn = -1;
        for (const LTimeRuler::Tick& t : layout.ticks) {
            ASSERT_GE(t.column, 0) << fpp;
            ASSERT_LE(t.column, width) << fpp;
            ASSERT_GE(t.column, previousColumn) << "left to right at " << fpp;
            previousColumn = t.column;
            if (!t.major)
                continue;
            // A round value, drawn where that value lies.
            const int64_t value = layout.frames ? std::stoll(t.label.empty() ? "0" : t.label) : 0;
            if (t.label.empty())
                continue;
            const int64_t ms = layout.frames ? 0 : ParseTime(t.label);
            const double frame = layout.frames ? double(value) : double(ms) * rate / 1000.0;
            EXPECT_EQ((layout.frames ? value : ms) % layout.step, 0) << t.label << " at " << fpp;
            EXPECT_EQ(map.ColumnOf(frame), t.column) << t.label << " at " << fpp;
            // Clear of the label before it, and whole within the ruler.
            const int32_t left = t.column + LTimeRuler::kLabelOffset;
            EXPECT_GE(left, previousEnd + gap) << t.label << " at " << fpp;
            EXPECT_LE(left + t.labelWidth, width + 1) << t.label << " at " << fpp;
            EXPECT_EQ(t.labelWidth, TextWidth(t.label));
            previousEnd = left + t.labelWidth;
            ++labelled;
        }
        EXPECT_GE(labelled, 3) << "enough labels to read the time at " << fpp;
        EXPECT_LE(labelled, width / 40) << "not crowded at " << fpp;
        sawFrames = sawFrames || layout.frames;
        sawHours = sawHours || (!layout.frames && layout.step >= 3600000);
        // Frame numbers only where centiseconds are too coarse to label the ruler.
        EXPECT_EQ(layout.frames, fpp <= 2) << fpp;
    }
    EXPECT_TRUE(sawFrames);
    EXPECT_TRUE(sawHours) << "a whole ten-hour file is labelled in hours";
    EXPECT_EQ(LTimeRuler::TimeLabel(36000000 + 61230), "10:01:01.23");
    EXPECT_TRUE(LTimeRuler::Compute(LWaveMapping(), rate, TextWidth, gap).ticks.empty()) << "an empty view";
}

TEST(WaveMarks, FlagsAndBandsAreLaidOutWithoutOverlapAndHitWhatIsDrawn)
{
    LWaveMarks marks;
    // 10 frames a column over 100 columns.
    const LWaveMapping map = MapOf(100, 0, 1000);
    marks.SetBookmarks({{"Intro", 100, 0}, {"Verse", 150, 1}, {"Chorus", 170, 2}, {"Off", 5000, 3}, {"End", 995, 4}});
    const std::vector<LWaveMarks::Flag> flags = marks.Flags(map, TextWidth, 2);
    ASSERT_EQ(flags.size(), 4u) << "a bookmark outside the view is not drawn";
    EXPECT_EQ(flags[0].column, 10);
    EXPECT_EQ(flags[0].row, 0);
    EXPECT_EQ(flags[1].row, 1) << "Verse would cover Intro's flag: the next row";
    EXPECT_EQ(flags[2].width, 0) << "no third row: Chorus keeps only its line";
    EXPECT_EQ(flags[3].left + flags[3].width, 100) << "End hangs left of its line at the edge";
    EXPECT_LE(flags[3].left, flags[3].column);
    for (size_t i = 0; i < flags.size(); ++i)
        for (size_t j = i + 1; j < flags.size(); ++j)
            if (flags[i].row == flags[j].row && flags[i].width > 0 && flags[j].width > 0) {
                EXPECT_TRUE(flags[i].left + flags[i].width <= flags[j].left ||
                            flags[j].left + flags[j].width <= flags[i].left);
            }

    // A click on a flag, or near a line, hits that bookmark; one between none.
    ASSERT_NE(LWaveMarks::FlagAt(flags, flags[1].left + 4, 1), nullptr);
    EXPECT_EQ(LWaveMarks::FlagAt(flags, flags[1].left + 4, 1)->index, 1u);
    EXPECT_EQ(LWaveMarks::FlagAt(flags, 18, -1)->index, 2u) << "the nearest line: Chorus at 17";
    EXPECT_EQ(LWaveMarks::FlagAt(flags, 16, -1)->index, 1u) << "Verse at 15";
    EXPECT_EQ(LWaveMarks::FlagAt(flags, 60, -1), nullptr);
    EXPECT_EQ(LWaveMarks::FlagAt(flags, 10 - LWaveMarks::kHitSlop - 1, -1), nullptr);

    // Overlapping regions take rows by their frames, the same at every zoom.
    marks.SetRegions({{"Take one", 0, 400, 0}, {"Take two", 300, 600, 1}, {"Short", 450, 460, 2}, {"Late", 700, 900, 3}});
    EXPECT_EQ(marks.RowsNeeded(3), 2);
    const std::vector<LWaveMarks::Band> bands = marks.Bands(map, TextWidth, 3);
    ASSERT_EQ(bands.size(), 4u);
    EXPECT_EQ(bands[0].row, 0);
    EXPECT_EQ(bands[1].row, 1);
    EXPECT_EQ(bands[2].row, 0) << "Short fits after Take one";
    EXPECT_EQ(bands[3].row, 0);
    EXPECT_EQ(bands[0].text, "Tak\xE2\x80\xA6") << "40 columns less the padding";
    EXPECT_EQ(marks.Bands(MapOf(100, 0, 500), TextWidth, 3)[0].text, "Take one") << "zoomed in, room for it";
    EXPECT_EQ(bands[2].right - bands[2].left, 1);
    EXPECT_EQ(bands[2].text, "") << "no room for a name";
    EXPECT_EQ(LWaveMarks::BandAt(bands, 35, 1)->index, 1u);
    EXPECT_EQ(LWaveMarks::BandAt(bands, 35, 0)->index, 0u);
    EXPECT_EQ(LWaveMarks::BandAt(bands, 65, 0), nullptr);
    const std::vector<LWaveMarks::Band> zoomed = marks.Bands(MapOf(100, 250, 100), TextWidth, 3);
    ASSERT_EQ(zoomed.size(), 2u) << "only the regions in the view";
    EXPECT_EQ(zoomed[0].left, 0);
    EXPECT_EQ(zoomed[1].left, 50);
    EXPECT_EQ(zoomed[1].right, 100);

    // Names are cut at whole characters.
    EXPECT_EQ(LWaveMarks::Elide("Chorus", 30, TextWidth), "Ch\xE2\x80\xA6");
    EXPECT_EQ(LWaveMarks::Elide("\xC3\xA9t\xC3\xA9", 20, TextWidth), "\xC3\xA9\xE2\x80\xA6");
    EXPECT_EQ(LWaveMarks::Elide("Chorus", 5, TextWidth), "");
}

TEST(AmplitudeScale, MarksSitWhereTheWaveOfTheirLevelReachesAndFollowTheVerticalZoom)
{
    LWavePicture p;
    p.height = 300;
    for (int32_t lanes : {1, 2})
        for (bool zoom : {false, true}) {
            p.lanes = lanes;
            const LWavePicture::Lane lane = p.LaneRows(lanes - 1);
            for (auto unit : {LAmplitudeScale::Unit::Percent, LAmplitudeScale::Unit::Decibel}) {
                const auto marks = LAmplitudeScale::Marks(lane, zoom, LAmplitudeScale::Below::Negative, unit, 12);
                ASSERT_GE(marks.size(), 3u);
                for (size_t i = 1; i < marks.size(); ++i)
                    EXPECT_GE(marks[i].row - marks[i - 1].row, 14) << "apart by a text height and two rows";
                for (const auto& m : marks) {
                    EXPECT_GE(m.row, lane.top);
                    EXPECT_LT(m.row, lane.end);
                }
                // Where the lanes meet too: the first lane's -100 and the second's 100.
                const auto all = LAmplitudeScale::PictureMarks(p, zoom, LAmplitudeScale::Below::Negative, unit, 12);
                EXPECT_GE(all.size(), size_t(lanes) * marks.size() - 1);
                for (size_t i = 1; i < all.size(); ++i)
                    EXPECT_GE(all[i].row - all[i - 1].row, 14) << "lanes " << lanes;
            }
            const auto percent =
                LAmplitudeScale::Marks(lane, zoom, LAmplitudeScale::Below::Negative, LAmplitudeScale::Unit::Percent, 12);
            // The top mark: full scale, or an eighth of it magnified, where a
            // column of that sample reaches.
            EXPECT_EQ(percent.front().label, zoom ? "12.5" : "100");
            EXPECT_EQ(percent.back().label, zoom ? "-12.5" : "-100");
            const int32_t value = zoom ? 0x7FFF0 / 8 >> 8 : 0x7FFF0 >> 11;
            EXPECT_NEAR(percent.front().row, p.RowOf(lanes - 1, value, false), 1);
            const auto it = std::find_if(percent.begin(), percent.end(), [](const auto& m) { return m.label == "0"; });
            ASSERT_NE(it, percent.end());
            EXPECT_EQ(it->row, lane.mid);
            const auto dB =
                LAmplitudeScale::Marks(lane, zoom, LAmplitudeScale::Below::Magnitude, LAmplitudeScale::Unit::Decibel, 12);
            EXPECT_EQ(dB.front().label, zoom ? "-18" : "0");
            EXPECT_EQ(dB.front().label, dB.back().label) << "the same level below the line";
        }
}

TEST(FrequencyWindow, AxisLabelsAreRoundClearOfEachOtherAndTheLinearAxisIsAnOption)
{
    LFrequencyWindowModel m;
    m.SetSize(600, 300, true);
    LSpectrumBlock b;
    b.sampleRate = 44100;
    m.SetData(b);
    for (bool logarithmic : {true, false}) {
        m.SetLogarithmic(logarithmic);
        for (int32_t zoom = 0; zoom <= 2; ++zoom) {
            const auto labels = m.FrequencyLabels(TextWidth, 10);
            ASSERT_GE(labels.size(), 4u) << logarithmic << " " << zoom;
            for (size_t i = 1; i < labels.size(); ++i) {
                const int32_t w = TextWidth(labels[i - 1].text);
                const int32_t previousRight = labels[i - 1].at - w / 2 + w;
                EXPECT_GE(labels[i].at - TextWidth(labels[i].text) / 2, previousRight + 10) << labels[i].text;
            }
            for (const auto& l : labels) {
                const bool kilo = l.text.back() == 'k';
                const int32_t hz = int32_t(std::lround(std::stod(l.text) * (kilo ? 1000 : 1)));
                EXPECT_EQ(LFrequencyWindowModel::FrequencyText(hz), l.text);
                EXPECT_EQ(m.MapIndextoPixelX(hz), l.at) << l.text;
            }
            m.HZoom(true);
        }
        m.ZoomDefault();
    }
    EXPECT_EQ(LFrequencyWindowModel::FrequencyText(2500), "2.5k");
    EXPECT_EQ(LFrequencyWindowModel::FrequencyText(20000), "20k");
    EXPECT_EQ(LFrequencyWindowModel::FrequencyText(50), "50");

    // Linear: the middle column shows the middle bin, and the readout follows.
    m.SetLogarithmic(false);
    EXPECT_NEAR(m.MapPixelXtoIndex(m.Width() / 2), 1024, 2);
    EXPECT_NEAR(m.MapIndextoPixelX(SpectrumBinFrequency(1024, 44100)), m.Width() / 2, 1);
    m.SetLogarithmic(true);
    EXPECT_NEAR(m.MapPixelXtoIndex(m.Width() / 2), 2048 / 5, 2) << "(16^0.5 - 1) / 15 of the bins";

    const auto levels = m.LevelLabels(14);
    ASSERT_GE(levels.size(), 5u);
    EXPECT_EQ(levels.front().text, "0");
    EXPECT_EQ(levels.front().at, 0);
    for (size_t i = 1; i < levels.size(); ++i)
        EXPECT_GE(levels[i].at - levels[i - 1].at, 14);
    EXPECT_EQ(levels[1].at, m.LevelToY(-std::stoi(levels[1].text.substr(1))));
}
