#include "devices/LAudioDevices.h"

#include <cstdlib>
#include <cstring>

#include "devices/backends/LFileWaveIn.h"
#include "devices/backends/LNullWaveOut.h"
#include "devices/backends/LPortAudio.h"

namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

bool NullOut(std::string& capture)
{
    const std::string out = Env("KELVANE_AUDIO_OUT");
    if (out.rfind("capture:", 0) == 0) {
        capture = out.substr(8);
        return true;
    }
    return out == "null";
}

} // namespace

void LAudioDevices::Rescan() { LPortAudio::Rescan(); }

bool LAudioDevices::FreeRunning() { return Env("KELVANE_AUDIO_CLOCK") == "free"; }

std::unique_ptr<LWaveOut> LAudioDevices::CreateWaveOut()
{
    std::string capture;
    if (NullOut(capture))
        return std::make_unique<LNullWaveOut>(capture, FreeRunning());
    return LPortAudio::CreateWaveOut();
}

std::unique_ptr<LWaveIn> LAudioDevices::CreateWaveIn()
{
    const std::string in = Env("KELVANE_AUDIO_IN");
    if (!in.empty())
        return std::make_unique<LFileWaveIn>(in, FreeRunning());
    return LPortAudio::CreateWaveIn();
}

int32_t LAudioDevices::OutputCount()
{
    std::string capture;
    return NullOut(capture) ? 1 : LPortAudio::OutputCount();
}

int32_t LAudioDevices::InputCount() { return Env("KELVANE_AUDIO_IN").empty() ? LPortAudio::InputCount() : 1; }

std::string LAudioDevices::OutputName(int32_t device)
{
    std::string capture;
    if (NullOut(capture))
        return device == 0 ? (capture.empty() ? "Silent output" : "Capture to " + capture) : "";
    return LPortAudio::OutputName(device);
}

std::string LAudioDevices::InputName(int32_t device)
{
    const std::string in = Env("KELVANE_AUDIO_IN");
    if (!in.empty())
        return device == 0 ? "File " + in : "";
    return LPortAudio::InputName(device);
}
