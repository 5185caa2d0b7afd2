#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One mixer as the mixer operations see it: a destination line (the recording
// side's "wave-in", or the playback side's speakers) with controls, and the
// source lines connected to it, each with controls of its own. The ALSA
// simple mixer implements it; tests use a fake.
class LMixerLines {
public:
    enum class Kind : uint8_t { Volume, Mute, OnOff, MultiSelect, SingleSelect };
    struct Control {
        Kind kind;
        int32_t id;                       // the implementation's own
        std::vector<int32_t> itemLines;   // selects: the source line each item routes (-1 none)
    };
    virtual ~LMixerLines() = default;
    // What records while no line is chosen, as the user would find it in the
    // system's mixer: its capture control, with the input it is set to; "" when
    // the mixer does not say.
    virtual std::string CaptureName() { return ""; }
    virtual std::vector<Control> DestinationControls() = 0;
    virtual int32_t SourceCount() = 0;
    virtual std::string SourceName(int32_t line) = 0;
    virtual std::vector<Control> SourceControls(int32_t line) = 0;
    // Volume: 0..65535. Mute and OnOff: 0 or 1.
    virtual void SetValue(const Control& control, uint32_t value) = 0;
    // Selects: one flag per item.
    virtual void SetSelection(const Control& control, const std::vector<bool>& selected) = 0;
};

// Finds the mixers of devices (platform numbers, -1 the default device).
class LMixerPort {
public:
    virtual ~LMixerPort() = default;
    // The recording side of an input device; nullptr when it has no mixer.
    virtual std::unique_ptr<LMixerLines> OpenRecording(int32_t device) = 0;
    // The playback side of an output device: destination = the speakers, and
    // source line 0 = the wave-out line.
    virtual std::unique_ptr<LMixerLines> OpenPlayback(int32_t device) = 0;
};

// The process's mixer port: the ALSA simple mixer unless a test installs
// another (not owned; nullptr restores ALSA).
LMixerPort& LMixerPortGet();
void LMixerPortSet(LMixerPort* port);
