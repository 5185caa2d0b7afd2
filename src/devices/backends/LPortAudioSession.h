#pragma once
#include <cstdint>

// PortAudio's lifetime in this process: initialised on first use, ended at exit.
namespace LPortAudioSession {
bool Ready();
// Looks for devices again (one plugged in since, or a new sound configuration)
// by starting PortAudio afresh; nothing while a stream is open.
void Rescan();
// Streams count themselves in and out, so that Rescan leaves them alone.
void StreamOpened();
void StreamClosed();
// PortAudio's index of an output or input device by platform number (-1 the
// default); a negative index when there is none.
int32_t DeviceIndex(bool output, int32_t device);
} // namespace LPortAudioSession
