#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "formats/LWaveFile.h"
#include "support/TestSupport.h"

// For test binaries that link the formats layer.
namespace test {

// Writes a 16-bit WAV named `name` in the test folder: a sine of `freq` Hz at
// amplitude `amp` (stream units) on every channel. Returns its path.
inline std::string WriteSineWav(const std::string& name, int32_t rate, uint8_t channels, int32_t frames,
                                double freq = 440, double amp = 200000)
{
    std::string path = TempPath(name);
    std::vector<int32_t> v = Sine(frames, rate, freq, amp, channels);
    LSoundSink sink = LWaveFile::OpenSinkPCM(path, rate, 0, 16, channels);
    for (int32_t f = 0; f < frames; f += 8192)
        sink->Write(v.data() + size_t(f) * channels, std::min(8192, frames - f));
    return path;
}

// The kelvane-batch program of this build.
inline std::string BatchProgram() { return std::string(KELVANE_BIN_DIR) + "/kelvane-batch"; }

} // namespace test
