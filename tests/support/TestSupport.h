#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/LProgressWindow.h"
#include "core/LSoundSink.h"
#include "core/LSoundSource.h"

namespace test {

// This test process's own folder (KELVANE_HOME), created fresh and removed at exit.
const std::string& HomeDir();
// A path inside HomeDir().
std::string TempPath(const std::string& name);
// Runs a shell command; returns its exit status. Output goes to the test log.
int Run(const std::string& command);
// Whether a program is on PATH.
bool HaveProgram(const std::string& name);
// The quoted form of `text` for a shell command line.
std::string Quote(const std::string& text);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// A source over values held in memory (interleaved frames).
class VectorSource : public LSoundSourceBase {
public:
    VectorSource(std::vector<int32_t> values, int32_t rate, uint8_t channels, uint32_t maxAmplitude = 0x7FFF0);
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override { return int32_t(values_.size() / GetChannels()); }
    void Seek(int32_t frame) override { position_ = frame; }

private:
    std::vector<int32_t> values_;
    int32_t position_ = 0;
};

// A sink that keeps what it is given.
class VectorSink : public LSoundSinkBase {
public:
    VectorSink(int32_t rate, uint8_t channels) : LSoundSinkBase(rate, channels) {}
    void Write(const int32_t* buffer, int32_t frames) override;
    void Seek(int32_t frame) override;
    std::vector<int32_t> values;
    std::vector<int32_t> writes;  // frame count of each Write
    void Fail() { SetError(); }
};

// Reads a whole source (from its current position to its length) in chunks of `chunk` frames.
std::vector<int32_t> ReadAll(LSoundSource source, int32_t chunk = 8192);

// A progress backend for tests: counts pumps, cancels at pump N (0 = never),
// records texts and percentages; installed for the object's lifetime.
class ScriptedProgress : public LProgressBackend {
public:
    explicit ScriptedProgress(int32_t cancelAtPump = 0);
    ~ScriptedProgress() override;
    std::unique_ptr<LProgressWindow> Open(const std::string& title) override;

    int32_t cancelAtPump;
    int32_t pumps = 0;
    bool refuseOpen = false;
    std::vector<std::string> titles;
    std::vector<std::string> texts[2];
    std::vector<int32_t> percents;
};

// A sine of `frames` frames at `freq` Hz and amplitude `amp` (stream units), all channels alike.
std::vector<int32_t> Sine(int32_t frames, int32_t rate, double freq, double amp, uint8_t channels = 1);

} // namespace test
