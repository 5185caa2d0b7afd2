#pragma once
#include <cstdint>

// PortAudio's lifetime in this process: initialised on first use, ended at exit.
namespace LPortAudioSession {
bool Ready();
// PortAudio's index of an output or input device by platform number (-1 the
// default); a negative index when there is none.
int32_t DeviceIndex(bool output, int32_t device);
} // namespace LPortAudioSession
