#pragma once
#include <cstdint>
#include <string>

// Stateless operations over the mixer of a sound device. Device numbers as
// everywhere outside the backends: 0 the default device, n >= 1 device n - 1.
// Negative devices and lines are ignored; nothing reports errors.
namespace LMixer {
// The recording device's input lines, at most 127; 0 without a mixer.
int32_t GetInputChannelCount(int32_t device);
// Line -1 is "Windows Record Mixer" (leave the mixer alone); otherwise the
// line's name, at most 31 bytes; "" when it has none.
std::string GetInputChannelName(int32_t device, int32_t line);
// Routes recording to `line` at `dB` (the device-level mapping), silencing and
// muting every other input.
void SetInputChannel(int32_t device, int32_t line, int32_t dB);
// Speakers at `dB`, the wave-out line at `dB + offsetDb`, unmuted. The default
// device's level goes straight to its output volume instead.
void SetOutputVolume(int32_t device, int32_t offsetDb, int32_t dB);
} // namespace LMixer
