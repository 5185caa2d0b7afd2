#pragma once
#include <cstdint>
#include <string>

class LProgressDialog;

// Decodes the audio of any file FFmpeg can read (WMA, M4A, DSS, RealAudio, ...)
// into a 16-bit PCM WAV file at `wavPath`, at the file's rate, with more than two
// channels mixed down to stereo. Shows progress in `dialog`.
// Returns 0 done, 1 cancelled, 2 failed (nothing readable).
int32_t LMediaDecodeToWav(LProgressDialog& dialog, const std::string& input, const std::string& wavPath);
