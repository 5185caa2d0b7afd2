// Preview through the capture device: what the dialogs play is the maker's
// source over the copy of the document for the values as typed, from the
// copy's first frame; typing restarts a running preview and starts none.
#include <QComboBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include "EffectTestSupport.h"
#include "UiTestSupport.h"
#include "app/LKVCommands.h"
#include "core/LSourceProcessor.h"
#include "devices/DeviceTestSupport.h"
#include "edit/EditTestSupport.h"
#include "edit/LKVFile.h"
#include "effects/CompressorRatioList.h"
#include "effects/LEfChangeSpeedPitch.h"
#include "effects/LSRCCompressor.h"
#include "effects/LSRCEcho.h"
#include "effects/LSRCEq.h"
#include "effects/LSRCHighPass.h"
#include "effects/LSRCReverb.h"
#include "ui/LKVBrainWaveWidget.h"
#include "ui/LKVEchoDlg.h"
#include "ui/LKVLevelControl.h"
#include "ui/LKVPreviewDialog.h"

using efftest::Control;
using efftest::Press;
using efftest::Type;
using uitest::DialogScript;

namespace {

using Maker = std::function<std::unique_ptr<LEfSourceMaker>(const LCutListAudio&)>;

// What the player makes of `maker` over `audio`: 16-bit values, through the
// peak limiter every playback passes.
std::vector<int16_t> Heard(const LEfSourceMaker& maker, const LCutListAudio& audio)
{
    LSoundSource s = LSPPeakLimit(0x7FFF0).OpenSource(maker.MakeSource(audio.OpenSource()));
    return devtest::As16(test::ReadAll(s));
}

QPushButton* PreviewButton(QDialog& d) { return Control<QPushButton>(d, 140); }

struct Case {
    int32_t command;
    std::function<void(QDialog&)> type;
    Maker maker;
};

PointList EqCurve() { return PointList::Of({{0, 60}, {40, 200}, {255, 90}}); }

std::vector<Case> Cases()
{
    return {
        // Refused by OK, played clamped: 3000 ms and 99 %.
        {kCmEcho, [](QDialog& d) { Type(d, 101, "3000"), Type(d, 102, "100"); },
         [](const LCutListAudio&) { return std::make_unique<LEfEchoMaker>(99, 3000); }},
        {kCmReverb, [](QDialog& d) { Type(d, 101, "150"), Type(d, 102, "5"); },
         [](const LCutListAudio&) { return std::make_unique<LEfReverbMaker>(100, 10); }},
        {kCmHighPassFilter, [](QDialog& d) { Type(d, 101, "300"); },
         [](const LCutListAudio&) { return std::make_unique<LEfHighPassMaker>(600); }},
        {kCmSimpleSpeedPitch, [](QDialog& d) { Type(d, 101, "150"); },
         [](const LCutListAudio&) { return LEfChangeSpeedPitch::MakeMaker(0, 150); }},
        {kCmConstantPitchSpeed, [](QDialog& d) { Type(d, 101, "80"); },
         [](const LCutListAudio&) { return LEfChangeSpeedPitch::MakeMaker(1, 80); }},
        {kCmConstantSpeedPitch, [](QDialog& d) { Type(d, 101, "500"); },
         [](const LCutListAudio&) { return LEfChangeSpeedPitch::MakeMaker(2, 500); }},
        {kCmDynamicRangeCompressor,
         [](QDialog& d) {
             Control<LKVLevelControl>(d, 101)->SetValue(-30);
             Control<QComboBox>(d, 102)->setCurrentIndex(6);
             Control<LKVLevelControl>(d, 103)->SetValue(3);
         },
         [](const LCutListAudio&) {
             return std::make_unique<LEfCompressorMaker>(-30, CompressorRatioList::Find(6)->factor, 3);
         }},
        {kCmEqualizer, [](QDialog& d) { d.findChild<LKVBrainWaveWidget*>()->SetPoints(EqCurve()); },
         [](const LCutListAudio& a) {
             return std::make_unique<LEfEqMaker>(CreateEqFromPointList(EqCurve(), a.sampleRate));
         }},
    };
}

// How many bytes of audio the capture file holds so far (while the device
// writes, its size fields may lag behind the data).
size_t CapturedBytes(const std::string& path)
{
    const size_t size = test::ReadFileBytes(path).size();
    return size > 44 ? size - 44 : 0;
}

// Whether `heard` is a start of `a` followed by a start of `b` (a restart).
bool RestartedFromTheStart(const std::vector<int16_t>& heard, const std::vector<int16_t>& a,
                           const std::vector<int16_t>& b, size_t& split)
{
    size_t same = 0;
    while (same < heard.size() && same < a.size() && heard[same] == a[same])
        ++same;
    for (size_t s = same + 1; s-- > 0;) {
        const size_t rest = heard.size() - s;
        if (rest <= b.size() && std::equal(heard.begin() + std::ptrdiff_t(s), heard.end(), b.begin())) {
            split = s;
            return rest > 0;
        }
        if (same - s > 100000)
            break;
    }
    return false;
}

} // namespace

TEST(Preview, PlaysTheMakersSourceOverTheCopyForTheTypedValues)
{
    efftest::QuietSettings();
    const std::string path = uitest::SoxSine("preview.wav", 8000, 2, 1.0);
    int n = 0;
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.command);
        const std::string capture = devtest::UseCapture("preview" + std::to_string(n++) + ".wav");
        LKVMainWindow w;
        LKVFile* doc = w.Model().OpenFile(path);
        ASSERT_NE(doc, nullptr);
        w.Model().SetSelection(3000, 5000, 3000);
        const LCutListAudio copy = doc->audio;
        const std::vector<int32_t> before = test::Frames(doc->audio);
        DialogScript script;
        script.Then([&](QDialog& d) {
            QPushButton* preview = PreviewButton(d);
            ASSERT_TRUE(preview && preview->isEnabled());
            EXPECT_EQ(preview->text(), "Preview");
            c.type(d);
            preview->click();
            EXPECT_EQ(preview->text(), "Stop");
            // The end of the copy stops the player; the button says so.
            EXPECT_TRUE(efftest::PumpUntil([&] { return preview->text() == "Preview"; }));
            const devtest::Wav heard = devtest::ReadWav(capture);
            EXPECT_EQ(heard.channels, 2);
            EXPECT_EQ(heard.rate, 8000);
            EXPECT_EQ(heard.samples, Heard(*c.maker(copy), copy));
            Press(d, QDialogButtonBox::Cancel);
        });
        w.RunCommand(c.command);
        EXPECT_EQ(test::Frames(doc->audio), before);
    }
}

TEST(Preview, TypingRestartsARunningPreviewAndStartsNone)
{
    efftest::QuietSettings();
    const std::string capture = devtest::UseCapture("restart.wav", false);  // real time: it is still playing
    LKVMainWindow w;
    LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("long.wav", 8000, 1, 30.0));
    ASSERT_NE(doc, nullptr);
    w.Model().SetSelection(0, 1000, 0);
    const LCutListAudio copy = doc->audio;
    DialogScript script;
    script.Then([&](QDialog& d) {
        auto& dialog = static_cast<LKVPreviewDialog&>(d);
        Type(d, 101, "100");
        ASSERT_FALSE(dialog.IsPreviewing()) << "typing starts nothing";
        PreviewButton(d)->click();
        ASSERT_TRUE(dialog.IsPreviewing());
        ASSERT_TRUE(efftest::PumpUntil([&] { return CapturedBytes(capture) > 1600; }));
        Type(d, 101, "2000");
        EXPECT_TRUE(dialog.IsPreviewing());
        ASSERT_TRUE(efftest::PumpUntil([&] { return CapturedBytes(capture) > 8000; }));
        PreviewButton(d)->click();
        EXPECT_FALSE(dialog.IsPreviewing());
        EXPECT_EQ(PreviewButton(d)->text(), "Preview");
        const std::vector<int16_t> heard = devtest::ReadWav(capture).samples;
        size_t split = 0;
        EXPECT_TRUE(RestartedFromTheStart(heard, Heard(LEfHighPassMaker(200), copy),
                                          Heard(LEfHighPassMaker(4000), copy), split))
            << heard.size() << " values heard";
        EXPECT_GT(split, 0u);
        Type(d, 101, "300");
        EXPECT_FALSE(dialog.IsPreviewing()) << "a stopped preview stays stopped";
        // Closing the dialog stops a running preview.
        PreviewButton(d)->click();
        ASSERT_TRUE(dialog.IsPreviewing());
        Press(d, QDialogButtonBox::Cancel);
        EXPECT_FALSE(dialog.IsPreviewing());
    });
    w.RunCommand(kCmHighPassFilter);
}

TEST(Preview, ReleasingTheCurveRestartsTheEqualizerAndADocumentWithoutAudioHasNoPreview)
{
    efftest::QuietSettings();
    const std::string capture = devtest::UseCapture("curve-restart.wav", false);
    LKVMainWindow w;
    LKVFile* doc = w.Model().OpenFile(uitest::SoxSine("eq-long.wav", 8000, 1, 30.0));
    ASSERT_NE(doc, nullptr);
    w.Model().SetSelection(0, 1000, 0);
    PointList::Flat().Save(PointList::CurrentFile("equalizer.dat"));
    const LCutListAudio copy = doc->audio;
    DialogScript script;
    script.Then([&](QDialog& d) {
        auto& dialog = static_cast<LKVPreviewDialog&>(d);
        auto* graph = d.findChild<LKVBrainWaveWidget*>();
        PreviewButton(d)->click();
        ASSERT_TRUE(efftest::PumpUntil([&] { return CapturedBytes(capture) > 1600; }));
        graph->SetPoints(EqCurve());
        emit graph->curveChanged();
        ASSERT_TRUE(efftest::PumpUntil([&] { return CapturedBytes(capture) > 32000; }));
        PreviewButton(d)->click();
        size_t split = 0;
        EXPECT_TRUE(RestartedFromTheStart(devtest::ReadWav(capture).samples,
                                          Heard(LEfEqMaker(CreateEqFromPointList(PointList::Flat(), 8000)), copy),
                                          Heard(LEfEqMaker(CreateEqFromPointList(EqCurve(), 8000)), copy), split));
        EXPECT_FALSE(dialog.IsPreviewing());
        Press(d, QDialogButtonBox::Cancel);
    });
    w.RunCommand(kCmEqualizer);

    // Settings asked for without a document: nothing to preview.
    LKVPreviewDialog::SetDocumentAudio({});
    LKVEchoDlg echo(800, 50);
    EXPECT_FALSE(PreviewButton(echo)->isEnabled());
}
