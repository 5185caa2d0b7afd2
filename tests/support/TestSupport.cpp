#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace test {

std::string TempPath(const std::string& name) { return HomeDir() + "/" + name; }

int Run(const std::string& command)
{
    int status = std::system(command.c_str());
    if (status == -1)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

bool HaveProgram(const std::string& name) { return Run("command -v " + name + " >/dev/null 2>&1") == 0; }

std::string Quote(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

VectorSource::VectorSource(std::vector<int32_t> values, int32_t rate, uint8_t channels, uint32_t maxAmplitude)
    : LSoundSourceBase(rate, channels, maxAmplitude), values_(std::move(values))
{
}

void VectorSource::Read(int32_t* buffer, int32_t frames)
{
    const int32_t ch = GetChannels();
    // The values held, whatever length a derived test source reports.
    const int64_t length = int64_t(values_.size() / size_t(ch));
    for (int32_t f = 0; f < frames; ++f) {
        int64_t p = int64_t(position_) + f;
        for (int32_t c = 0; c < ch; ++c)
            buffer[f * ch + c] = p >= 0 && p < length ? values_[size_t(p * ch + c)] : 0;
    }
    position_ += frames;
}

void VectorSink::Write(const int32_t* buffer, int32_t frames)
{
    values.insert(values.end(), buffer, buffer + size_t(frames) * GetChannels());
    writes.push_back(frames);
    position_ += uint32_t(frames);
}

void VectorSink::Seek(int32_t frame)
{
    if (frame >= 0 && uint32_t(frame) <= position_) {
        values.resize(size_t(frame) * GetChannels());
        position_ = uint32_t(frame);
    }
}

std::vector<int32_t> ReadAll(LSoundSource source, int32_t chunk)
{
    std::vector<int32_t> out;
    std::vector<int32_t> buffer(size_t(chunk) * source->GetChannels());
    for (;;) {
        int32_t left = source->GetLength() - source->GetPosition();
        if (left <= 0)
            break;
        int32_t n = std::min(left, chunk);
        source->Read(buffer.data(), n);
        out.insert(out.end(), buffer.begin(), buffer.begin() + long(n) * source->GetChannels());
    }
    return out;
}

namespace {

class ScriptedWindow : public LProgressWindow {
public:
    explicit ScriptedWindow(ScriptedProgress& owner) : owner_(owner) {}
    void SetText(int line, const std::string& text) override { owner_.texts[line & 1].push_back(text); }
    void SetPercent(int32_t percent) override { owner_.percents.push_back(percent); }
    bool Pump() override
    {
        ++owner_.pumps;
        return owner_.cancelAtPump > 0 && owner_.pumps >= owner_.cancelAtPump;
    }

private:
    ScriptedProgress& owner_;
};

} // namespace

ScriptedProgress::ScriptedProgress(int32_t cancel) : cancelAtPump(cancel) { LProgressSetBackend(this); }
ScriptedProgress::~ScriptedProgress() { LProgressSetBackend(nullptr); }

std::unique_ptr<LProgressWindow> ScriptedProgress::Open(const std::string& title)
{
    if (refuseOpen)
        return nullptr;
    titles.push_back(title);
    return std::make_unique<ScriptedWindow>(*this);
}

std::vector<int32_t> Sine(int32_t frames, int32_t rate, double freq, double amp, uint8_t channels)
{
    std::vector<int32_t> v(size_t(frames) * channels);
    for (int32_t i = 0; i < frames; ++i) {
        int32_t s = int32_t(std::lround(amp * std::sin(2.0 * M_PI * freq * i / rate)));
        for (int32_t c = 0; c < channels; ++c)
            v[size_t(i) * channels + c] = s;
    }
    return v;
}

} // namespace test
