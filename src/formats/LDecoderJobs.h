#pragma once
#include <cstdint>
#include <string>

class LProgressDialog;

// Decoding with an external program into a temporary WAV: "aacdec", "oggdec" or
// "flacdec". Waits in slices of 500 ms (an hour at most) with the window alive.
// Returns 0 when the program ended, 1 cancelled (the program is stopped), 2 when it
// could not be found or started, or ran for an hour.
int32_t LDecodeWithProgram(LProgressDialog& dialog, const std::string& component, const std::string& input,
                           const std::string& wavPath);

// A free temporary WAV name "Temp%d.wav" in this process's private decoder folder
// (LDecoderFolder), reserved by its lock file for the caller while `lock` lives.
// Empty when the folder or the lock file cannot be made.
class LLockFile;
std::string LPickTempWav(LLockFile& lock);
