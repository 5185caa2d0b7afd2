#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "devices/LWaveOut.h"

// The wave devices of this process. Three environment variables, read at every
// call, replace the sound server by devices that need no sound card:
//   KELVANE_AUDIO_OUT=capture:FILE.wav  playback goes to a device that writes a
//                                       16-bit WAV of what it plays
//   KELVANE_AUDIO_OUT=null              playback goes to a silent device
//   KELVANE_AUDIO_IN=FILE               recording delivers that audio file
//   KELVANE_AUDIO_CLOCK=free            both run as fast as they are fed
//                                       instead of in real time
// Otherwise the devices are PortAudio's (its default host API).
// Device numbers here are the platform's: -1 the default device, 0.. the list.
namespace LAudioDevices {
std::unique_ptr<LWaveOut> CreateWaveOut();
std::unique_ptr<LWaveIn> CreateWaveIn();
int32_t OutputCount();
int32_t InputCount();
// The product name of a device, "" for one that does not exist.
std::string OutputName(int32_t device);
std::string InputName(int32_t device);
bool FreeRunning();
// Looks for the sound server's devices again (a device plugged in, a changed
// sound configuration); devices in use are left alone.
void Rescan();
} // namespace LAudioDevices
