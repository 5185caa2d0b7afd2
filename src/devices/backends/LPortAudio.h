#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "devices/LWaveOut.h"

// The sound server's devices through PortAudio's default host API. PortAudio is
// initialised once, on first use, with ALSA's and JACK's own messages silenced
// so that a machine without sound leaves the terminal clean; there it simply
// has no devices and every open fails.
namespace LPortAudio {
std::unique_ptr<LWaveOut> CreateWaveOut();
std::unique_ptr<LWaveIn> CreateWaveIn();
int32_t OutputCount();
int32_t InputCount();
std::string OutputName(int32_t device);
std::string InputName(int32_t device);
// Looks for devices again; nothing while a stream is open.
void Rescan();
// Reports through ALSA's and JACK's error handlers are dropped from now on.
void SilenceSoundLibraries();
} // namespace LPortAudio
