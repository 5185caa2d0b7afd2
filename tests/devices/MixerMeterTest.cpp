// The mixer operations through a fake mixer, the device list texts and the
// level meter's arithmetic.
#include <gtest/gtest.h>

#include <map>

#include "devices/LDBDisplayModel.h"
#include "devices/LDeviceLevel.h"
#include "devices/LMixer.h"
#include "devices/LMixerPort.h"
#include "devices/LSoundDeviceList.h"

namespace {

using Kind = LMixerLines::Kind;

// A mixer with `lines` inputs, a destination volume, mute and input select
// (whose items list the lines in reverse), and a volume and mute per line.
struct FakeMixer : LMixerPort {
    int32_t lines = 3;
    std::map<std::pair<int32_t, int32_t>, uint32_t> values;  // (control id, kind) -> value
    std::vector<bool> selection;
    std::vector<int32_t> opened;
    std::string captureName = "Capture (Line 1)";

    struct Lines : LMixerLines {
        FakeMixer& m;
        explicit Lines(FakeMixer& mixer) : m(mixer) {}
        std::vector<Control> DestinationControls() override
        {
            std::vector<int32_t> items;
            for (int32_t i = m.lines - 1; i >= 0; --i)
                items.push_back(i);
            return {{Kind::Volume, -1, {}}, {Kind::Mute, -1, {}}, {Kind::SingleSelect, -1, items}};
        }
        std::string CaptureName() override { return m.captureName; }
        int32_t SourceCount() override { return m.lines; }
        std::string SourceName(int32_t line) override { return "Line " + std::to_string(line) + std::string(40, '.'); }
        std::vector<Control> SourceControls(int32_t line) override
        {
            return {{Kind::Volume, line, {}}, {Kind::Mute, line, {}}};
        }
        void SetValue(const Control& c, uint32_t v) override { m.values[{c.id, int32_t(c.kind)}] = v; }
        void SetSelection(const Control&, const std::vector<bool>& s) override { m.selection = s; }
    };
    std::unique_ptr<LMixerLines> OpenRecording(int32_t device) override
    {
        opened.push_back(device);
        return std::make_unique<Lines>(*this);
    }
    std::unique_ptr<LMixerLines> OpenPlayback(int32_t device) override { return OpenRecording(device); }

    FakeMixer() { LMixerPortSet(this); }
    ~FakeMixer() override { LMixerPortSet(nullptr); }
    uint32_t Get(int32_t id, Kind k) { return values.at({id, int32_t(k)}); }
};

TEST(Mixer, DecibelMapping)
{
    for (auto [dB, level] : {std::pair{-127, 0}, {-36, 0}, {-35, 1424}, {0, 51264}, {10, 65504}, {11, 65535},
                             {127, 65535}, {500, 65535}, {-500, 0}})
        EXPECT_EQ(LDbToDeviceLevel(dB), level) << dB;
}

TEST(Mixer, SelectingAnInputRoutesItAndSilencesTheOthers)
{
    FakeMixer m;
    LMixer::SetInputChannel(2, 1, 0);
    EXPECT_EQ(m.opened, std::vector<int32_t>{1}) << "device 2 is the platform's device 1";
    EXPECT_EQ(m.Get(-1, Kind::Volume), 51264u);
    EXPECT_EQ(m.Get(-1, Kind::Mute), 0u);
    EXPECT_EQ(m.selection, (std::vector<bool>{false, true, false})) << "the item carrying line 1";
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(m.Get(i, Kind::Volume), i == 1 ? 51264u : 0u) << i;
        EXPECT_EQ(m.Get(i, Kind::Mute), i == 1 ? 0u : 1u) << i;
    }
    // Line -1 and negative devices leave the mixer alone.
    m.values.clear();
    LMixer::SetInputChannel(2, -1, 0);
    LMixer::SetInputChannel(-1, 1, 0);
    EXPECT_TRUE(m.values.empty());
    // Line -1 is named after the capture control that records then.
    EXPECT_EQ(LMixer::GetInputChannelName(2, -1), "Capture (Line 1)");
    m.captureName.clear();
    EXPECT_EQ(LMixer::GetInputChannelName(2, -1), "Default input") << "a mixer that does not say";
    EXPECT_EQ(LMixer::GetInputChannelName(2, 0).size(), 31u);
    EXPECT_EQ(LMixer::GetInputChannelName(2, 3), "");
    m.lines = 300;
    EXPECT_EQ(LMixer::GetInputChannelCount(1), 127);
    EXPECT_EQ(LSoundRecordDevice::InputLines(1).size(), 128u);
}

TEST(Mixer, OutputVolume)
{
    FakeMixer m;
    LMixer::SetOutputVolume(3, -6, 4);
    EXPECT_EQ(m.Get(-1, Kind::Volume), LDbToDeviceLevel(4));
    EXPECT_EQ(m.Get(0, Kind::Volume), LDbToDeviceLevel(-2)) << "the wave-out line takes the offset";
    EXPECT_EQ(m.Get(0, Kind::Mute), 0u);
    // The default device's system mixer is the default card's.
    m.opened.clear();
    LMixer::SetOutputVolume(0, 0, -36);
    EXPECT_EQ(m.opened, std::vector<int32_t>{-1});
    EXPECT_EQ(m.Get(-1, Kind::Volume), 0u);
}

TEST(Mixer, WithoutACardEverythingIsQuiet)
{
    unsetenv("KELVANE_AUDIO_OUT");
    unsetenv("KELVANE_AUDIO_IN");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(LMixer::GetInputChannelCount(1), 0);
    LMixer::SetInputChannel(1, 0, 0);
    LMixer::SetOutputVolume(1, 0, 0);
    const std::vector<std::string> out = LSoundPlayDevice::List();
    EXPECT_EQ(out.front(), "[Default Sound Out]");
    EXPECT_EQ(LSoundRecordDevice::List().front(), "[Default Sound In]");
    EXPECT_EQ(LSoundRecordDevice::InputLines(1), std::vector<std::string>{"Default input"});
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "ALSA and JACK say nothing";
    EXPECT_EQ(LDeviceChoice(3, out.size()), out.size() > 3 ? 3 : 0);
}

TEST(LevelMeter, ScaleAndRepaintStrips)
{
    LDBDisplayModel meter;
    meter.SetSize(49, 21);  // W = 48: one pixel per dB
    LChannelLevels two;
    two.count = 2;
    two.level[0] = -36;
    two.level[1] = 30;
    EXPECT_EQ(meter.SetLevels(two), (std::vector<LDBDisplayModel::Rect>{{0, 0, 49, 21}})) << "count changed";
    EXPECT_EQ(meter.Level(1), 12) << "clamped";
    EXPECT_EQ(meter.RedEnd(0), 0) << "-36 dB: an empty bar";
    EXPECT_EQ(meter.GreenEnd(1), 36);
    EXPECT_EQ(meter.RedEnd(1), 48) << "+12 dB: full, its last quarter red";
    EXPECT_EQ(meter.BandTop(1), 10);
    EXPECT_EQ(meter.BandBottom(1), 20);
    two.level[0] = -6;
    EXPECT_EQ(meter.SetLevels(two), (std::vector<LDBDisplayModel::Rect>{{0, 0, 31, 10}}));
    EXPECT_TRUE(meter.SetLevels(two).empty()) << "nothing changed";
}

} // namespace
