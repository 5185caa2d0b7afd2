#pragma once
#include <cstdint>
#include <string>

// Stateless operations over the mixer of a sound device. Device numbers as
// everywhere outside the backends: 0 the default device, n >= 1 device n - 1.
// Negative devices and lines are ignored; nothing reports errors.
namespace LMixer {
// The recording device's input lines, at most 127; 0 without a mixer.
int32_t GetInputChannelCount(int32_t device);
// Line -1 leaves the mixer alone: it is named after the capture control that
// then records (LMixerLines::CaptureName), or "Default input" when the device
// has no mixer that says. Otherwise the line's name; "" when it has none.
// Names are at most 31 bytes.
std::string GetInputChannelName(int32_t device, int32_t line);
// Routes recording to `line` at `dB` (the device-level mapping), silencing and
// muting every other input.
void SetInputChannel(int32_t device, int32_t line, int32_t dB);
// The system mixer of a playback device (the default device's is the default
// card's): speakers at `dB`, the wave-out line at `dB + offsetDb`, unmuted.
// What the player itself plays louder or softer is its own volume
// (LSoundPlayer::SetVolumeDb), not this.
void SetOutputVolume(int32_t device, int32_t offsetDb, int32_t dB);
} // namespace LMixer
