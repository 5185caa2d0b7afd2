#pragma once
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/ByteOrder.h"
#include "core/LDispatcher.h"
#include "devices/LChannelLevels.h"
#include "devices/LSoundPlayerNotify.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"

namespace devtest {

// Selects the capture device (free-running) for this test and returns its file.
inline std::string UseCapture(const std::string& name, bool freeRunning = true)
{
    const std::string path = test::TempPath(name);
    setenv("KELVANE_AUDIO_OUT", ("capture:" + path).c_str(), 1);
    if (freeRunning)
        setenv("KELVANE_AUDIO_CLOCK", "free", 1);
    else
        unsetenv("KELVANE_AUDIO_CLOCK");
    return path;
}

// The 16-bit samples of a WAV file the capture device wrote, and its header.
struct Wav {
    int32_t rate = 0;
    uint16_t channels = 0;
    std::vector<int16_t> samples;
};

inline Wav ReadWav(const std::string& path)
{
    const std::string b = test::ReadFileBytes(path);
    Wav w;
    if (b.size() < 44)
        return w;
    auto p = reinterpret_cast<const uint8_t*>(b.data());
    EXPECT_EQ(GetLE32(p + 4), b.size() - 8) << "RIFF size up to date";
    EXPECT_EQ(GetLE32(p + 40), b.size() - 44) << "data size up to date";
    w.channels = GetLE16(p + 22);
    w.rate = int32_t(GetLE32(p + 24));
    for (size_t i = 44; i + 1 < b.size(); i += 2)
        w.samples.push_back(int16_t(GetLE16(p + i)));
    return w;
}

// A 16-bit WAV of `values` (interleaved).
inline void WriteWav16(const std::string& path, const std::vector<int16_t>& values, int32_t rate, uint8_t channels)
{
    std::vector<int32_t> native(values.begin(), values.end());
    for (int32_t& v : native)
        v *= 16;
    LSoundSink sink = LWaveFile::OpenSinkPCM(path, rate, 0, 16, channels);
    sink->Write(native.data(), int32_t(native.size() / channels));
}

// What a device plays for native samples.
inline std::vector<int16_t> As16(const std::vector<int32_t>& values, size_t from = 0, size_t to = SIZE_MAX)
{
    std::vector<int16_t> out;
    for (size_t i = from; i < std::min(to, values.size()); ++i)
        out.push_back(LNativeTo16(values[i]));
    return out;
}

// Runs the user-interface side until `done` holds. The limit only stops a
// broken test from hanging; nothing depends on how long it takes.
inline bool PumpUntil(const std::function<bool()>& done, int32_t limitMs = 30000)
{
    for (int32_t waited = 0; waited < limitMs; ++waited) {
        LUiDispatcher().DrainPending();
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Records a player's notifications.
struct PlayerEvents : LSoundPlayerNotify {
    void PlayStarted(uint32_t) override { events.push_back("started"); }
    void PlayStopped(uint32_t) override { events.push_back("stopped"); }
    void PlayCued(uint32_t) override { events.push_back("cued"); }
    void PlayPaused(uint32_t) override { events.push_back("paused"); }
    void PlayPosition(int32_t ms, uint32_t) override { positions.push_back(ms); }
    void PlayLevels(const LChannelLevels& l, uint32_t) override { levels.push_back(l); }
    void PlayLoudness(const LLoudnessReading& l, uint32_t) override { loudness.push_back(l); }
    std::vector<std::string> events;
    std::vector<int32_t> positions;
    std::vector<LChannelLevels> levels;
    std::vector<LLoudnessReading> loudness;
};

} // namespace devtest
