#include "devices/LMixer.h"

#include <algorithm>

#include "devices/LDeviceLevel.h"
#include "devices/LMixerPort.h"

namespace {

using Kind = LMixerLines::Kind;

std::unique_ptr<LMixerLines> Recording(int32_t device)
{
    return device < 0 ? nullptr : LMixerPortGet().OpenRecording(device - 1);
}

} // namespace

int32_t LMixer::GetInputChannelCount(int32_t device)
{
    std::unique_ptr<LMixerLines> m = Recording(device);
    return m ? std::clamp(m->SourceCount(), 0, 127) : 0;
}

std::string LMixer::GetInputChannelName(int32_t device, int32_t line)
{
    std::unique_ptr<LMixerLines> m = line < -1 ? nullptr : Recording(device);
    if (line == -1) {
        const std::string name = m ? m->CaptureName() : "";
        return name.empty() ? "Default input" : name.substr(0, 31);
    }
    if (!m || line >= m->SourceCount())
        return "";
    return m->SourceName(line).substr(0, 31);
}

void LMixer::SetInputChannel(int32_t device, int32_t line, int32_t dB)
{
    if (device < 0 || line < 0)
        return;
    std::unique_ptr<LMixerLines> m = Recording(device);
    if (!m)
        return;
    const uint32_t level = LDbToDeviceLevel(dB);
    for (const LMixerLines::Control& c : m->DestinationControls()) {
        switch (c.kind) {
        case Kind::Volume: m->SetValue(c, level); break;
        case Kind::Mute: m->SetValue(c, 0); break;
        case Kind::OnOff: m->SetValue(c, 1); break;
        case Kind::MultiSelect: m->SetSelection(c, std::vector<bool>(c.itemLines.size(), true)); break;
        case Kind::SingleSelect: {
            std::vector<bool> on(c.itemLines.size(), false);
            auto it = std::find(c.itemLines.begin(), c.itemLines.end(), line);
            if (it != c.itemLines.end())
                on[size_t(it - c.itemLines.begin())] = true;
            else if (size_t(line) < on.size())
                on[size_t(line)] = true;
            m->SetSelection(c, on);
            break;
        }
        }
    }
    const int32_t count = m->SourceCount();
    for (int32_t i = 0; i < count; ++i)
        for (const LMixerLines::Control& c : m->SourceControls(i)) {
            if (c.kind == Kind::Volume)
                m->SetValue(c, i == line ? level : 0);
            else if (c.kind == Kind::Mute)
                m->SetValue(c, i == line ? 0 : 1);
        }
}

void LMixer::SetOutputVolume(int32_t device, int32_t offsetDb, int32_t dB)
{
    if (device < 0)
        return;
    const uint16_t level = LDbToDeviceLevel(dB);
    std::unique_ptr<LMixerLines> m = LMixerPortGet().OpenPlayback(device - 1);
    if (!m)
        return;
    for (const LMixerLines::Control& c : m->DestinationControls()) {
        if (c.kind == Kind::Volume)
            m->SetValue(c, level);
        else if (c.kind == Kind::Mute)
            m->SetValue(c, 0);
    }
    const uint16_t wave = LDbToDeviceLevel(std::clamp(dB + offsetDb, -127, 127));
    if (m->SourceCount() > 0)
        for (const LMixerLines::Control& c : m->SourceControls(0)) {
            if (c.kind == Kind::Volume)
                m->SetValue(c, wave);
            else if (c.kind == Kind::Mute)
                m->SetValue(c, 0);
            else if (c.kind == Kind::OnOff)
                m->SetValue(c, 1);
        }
}
