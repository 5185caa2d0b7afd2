// The ALSA simple mixer behind the mixer operations. Recording: every element
// with a capture volume or switch other than the master "Capture" is an input
// line (volume, and its switch as the inverse of mute); the master "Capture"
// element and an enumerated input-source element are the destination's
// controls. Playback: "Master" is the speakers, "PCM" the wave-out line.
// Without a card nothing opens and every operation does nothing.
#include <alsa/asoundlib.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "devices/LAudioDevices.h"
#include "devices/LMixerPort.h"
#include "devices/backends/LPortAudio.h"

namespace {

using Kind = LMixerLines::Kind;

// The ALSA card behind a device name such as "HDA Intel PCH: ALC3246 Analog (hw:0,0)".
std::string CardOf(const std::string& deviceName)
{
    const size_t at = deviceName.find("(hw:");
    if (at == std::string::npos)
        return "default";
    int card = -1;
    if (std::sscanf(deviceName.c_str() + at, "(hw:%d", &card) != 1 || card < 0)
        return "default";
    return "hw:" + std::to_string(card);
}

class AlsaLines : public LMixerLines {
public:
    AlsaLines(snd_mixer_t* mixer, bool capture) : mixer_(mixer), capture_(capture)
    {
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e)) {
            if (!snd_mixer_selem_is_active(e))
                continue;
            const std::string name = snd_mixer_selem_get_name(e);
            if (capture) {
                if (snd_mixer_selem_is_enum_capture(e) || (snd_mixer_selem_is_enumerated(e) &&
                                                           name.find("Source") != std::string::npos))
                    select_ = e;
                else if (name == "Capture")
                    master_ = e;
                else if (snd_mixer_selem_has_capture_volume(e) || snd_mixer_selem_has_capture_switch(e))
                    sources_.push_back(e);
            } else if (name == "Master") {
                master_ = e;
            } else if (name == "PCM") {
                sources_.push_back(e);
            }
        }
    }
    ~AlsaLines() override { snd_mixer_close(mixer_); }

    // "Capture", or "Capture (Rear Mic)" when an input-source control says
    // which input it records.
    std::string CaptureName() override
    {
        std::string name = master_ ? snd_mixer_selem_get_name(master_) : (select_ ? "Capture" : "");
        unsigned int item = 0;
        char text[64] = {};
        if (select_ && snd_mixer_selem_get_enum_item(select_, SND_MIXER_SCHN_MONO, &item) >= 0 &&
            snd_mixer_selem_get_enum_item_name(select_, item, sizeof text - 1, text) >= 0 && text[0])
            name += std::string(" (") + text + ")";
        return name;
    }

    std::vector<Control> DestinationControls() override
    {
        std::vector<Control> c;
        if (master_)
            Add(master_, -1, c);
        if (select_) {
            Control s{Kind::SingleSelect, -2, {}};
            const int items = snd_mixer_selem_get_enum_items(select_);
            for (int i = 0; i < items; ++i) {
                char item[64] = {};
                snd_mixer_selem_get_enum_item_name(select_, unsigned(i), sizeof item, item);
                int32_t line = -1;
                for (size_t j = 0; j < sources_.size(); ++j)
                    if (std::strcmp(item, snd_mixer_selem_get_name(sources_[j])) == 0)
                        line = int32_t(j);
                s.itemLines.push_back(line);
            }
            c.push_back(s);
        }
        return c;
    }
    int32_t SourceCount() override { return int32_t(sources_.size()); }
    std::string SourceName(int32_t line) override { return snd_mixer_selem_get_name(sources_[size_t(line)]); }
    std::vector<Control> SourceControls(int32_t line) override
    {
        std::vector<Control> c;
        Add(sources_[size_t(line)], line, c);
        return c;
    }
    void SetValue(const Control& control, uint32_t value) override
    {
        snd_mixer_elem_t* e = control.id == -1 ? master_ : sources_[size_t(control.id)];
        if (control.kind == Kind::Volume) {
            long lo = 0, hi = 0;
            if (capture_) {
                snd_mixer_selem_get_capture_volume_range(e, &lo, &hi);
                snd_mixer_selem_set_capture_volume_all(e, lo + long((hi - lo) * int64_t(value) / 65535));
            } else {
                snd_mixer_selem_get_playback_volume_range(e, &lo, &hi);
                snd_mixer_selem_set_playback_volume_all(e, lo + long((hi - lo) * int64_t(value) / 65535));
            }
            return;
        }
        // A switch is on when the line sounds: the inverse of mute.
        const int on = control.kind == Kind::Mute ? !value : int(value != 0);
        if (capture_)
            snd_mixer_selem_set_capture_switch_all(e, on);
        else
            snd_mixer_selem_set_playback_switch_all(e, on);
    }
    void SetSelection(const Control&, const std::vector<bool>& selected) override
    {
        for (size_t i = 0; i < selected.size(); ++i)
            if (selected[i] && select_)
                snd_mixer_selem_set_enum_item(select_, SND_MIXER_SCHN_MONO, unsigned(i));
    }

private:
    void Add(snd_mixer_elem_t* e, int32_t id, std::vector<Control>& c) const
    {
        if (capture_ ? snd_mixer_selem_has_capture_volume(e) : snd_mixer_selem_has_playback_volume(e))
            c.push_back({Kind::Volume, id, {}});
        if (capture_ ? snd_mixer_selem_has_capture_switch(e) : snd_mixer_selem_has_playback_switch(e))
            c.push_back({Kind::Mute, id, {}});
    }

    snd_mixer_t* mixer_;
    bool capture_;
    snd_mixer_elem_t* master_ = nullptr;
    snd_mixer_elem_t* select_ = nullptr;
    std::vector<snd_mixer_elem_t*> sources_;
};

std::unique_ptr<LMixerLines> Open(const std::string& card, bool capture)
{
    LPortAudio::SilenceSoundLibraries();
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0)
        return nullptr;
    if (snd_mixer_attach(mixer, card.c_str()) < 0 || snd_mixer_selem_register(mixer, nullptr, nullptr) < 0 ||
        snd_mixer_load(mixer) < 0) {
        snd_mixer_close(mixer);
        return nullptr;
    }
    return std::make_unique<AlsaLines>(mixer, capture);
}

class AlsaMixerPort : public LMixerPort {
public:
    std::unique_ptr<LMixerLines> OpenRecording(int32_t device) override
    {
        return Open(CardOf(LAudioDevices::InputName(device)), true);
    }
    std::unique_ptr<LMixerLines> OpenPlayback(int32_t device) override
    {
        return Open(CardOf(LAudioDevices::OutputName(device)), false);
    }
};

LMixerPort* g_port = nullptr;

} // namespace

LMixerPort& LMixerPortGet()
{
    static AlsaMixerPort alsa;
    return g_port ? *g_port : alsa;
}

void LMixerPortSet(LMixerPort* port) { g_port = port; }
