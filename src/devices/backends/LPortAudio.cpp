#include "devices/backends/LPortAudio.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <portaudio.h>

#include <cstdarg>
#include <mutex>
#include <vector>

#include "devices/backends/LPortAudioSession.h"

namespace {

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}
void QuietJack(const char*) {}

// PortAudio's device indexes of the default host API, outputs or inputs.
std::vector<PaDeviceIndex> Devices(bool output)
{
    std::vector<PaDeviceIndex> list;
    if (!LPortAudioSession::Ready())
        return list;
    const PaHostApiIndex api = Pa_GetDefaultHostApi();
    const PaHostApiInfo* info = api >= 0 ? Pa_GetHostApiInfo(api) : nullptr;
    if (!info)
        return list;
    for (int i = 0; i < info->deviceCount; ++i) {
        const PaDeviceIndex d = Pa_HostApiDeviceIndexToDeviceIndex(api, i);
        const PaDeviceInfo* di = d >= 0 ? Pa_GetDeviceInfo(d) : nullptr;
        if (di && (output ? di->maxOutputChannels : di->maxInputChannels) > 0)
            list.push_back(d);
    }
    return list;
}

std::string NameOf(bool output, int32_t device)
{
    const std::vector<PaDeviceIndex> list = Devices(output);
    if (device < 0 || size_t(device) >= list.size())
        return "";
    const PaDeviceInfo* di = Pa_GetDeviceInfo(list[size_t(device)]);
    return di && di->name ? di->name : "";
}

} // namespace

void LPortAudio::SilenceSoundLibraries()
{
    snd_lib_error_set_handler(QuietAlsa);
    // JACK comes in with PortAudio when PortAudio was built with it; its
    // handlers are looked up rather than linked, so a PortAudio without JACK works.
    using Handler = void (*)(const char*);
    using SetHandler = void (*)(Handler);
    for (const char* name : {"jack_set_error_function", "jack_set_info_function"})
        if (void* f = dlsym(RTLD_DEFAULT, name))
            reinterpret_cast<SetHandler>(f)(QuietJack);
}

int32_t LPortAudio::OutputCount() { return int32_t(Devices(true).size()); }
int32_t LPortAudio::InputCount() { return int32_t(Devices(false).size()); }
std::string LPortAudio::OutputName(int32_t device) { return NameOf(true, device); }
std::string LPortAudio::InputName(int32_t device) { return NameOf(false, device); }

int32_t LPortAudioSession::DeviceIndex(bool output, int32_t device)
{
    if (!Ready())
        return paNoDevice;
    if (device < 0) {
        const PaHostApiIndex api = Pa_GetDefaultHostApi();
        const PaHostApiInfo* info = api >= 0 ? Pa_GetHostApiInfo(api) : nullptr;
        if (!info)
            return paNoDevice;
        return output ? info->defaultOutputDevice : info->defaultInputDevice;
    }
    const std::vector<PaDeviceIndex> list = Devices(output);
    return size_t(device) < list.size() ? list[size_t(device)] : paNoDevice;
}

namespace {

struct Session {
    std::mutex mutex;
    bool ok = false;
    int32_t streams = 0;
    Session()
    {
        LPortAudio::SilenceSoundLibraries();
        ok = Pa_Initialize() == paNoError;
    }
    ~Session()
    {
        if (ok)
            Pa_Terminate();
    }
};

Session& TheSession()
{
    static Session session;
    return session;
}

} // namespace

bool LPortAudioSession::Ready() { return TheSession().ok; }

void LPortAudioSession::Rescan()
{
    Session& s = TheSession();
    std::lock_guard lock(s.mutex);
    if (s.streams > 0)
        return;
    if (s.ok)
        Pa_Terminate();
    s.ok = Pa_Initialize() == paNoError;
}

void LPortAudioSession::StreamOpened()
{
    std::lock_guard lock(TheSession().mutex);
    ++TheSession().streams;
}

void LPortAudioSession::StreamClosed()
{
    std::lock_guard lock(TheSession().mutex);
    --TheSession().streams;
}

void LPortAudio::Rescan() { LPortAudioSession::Rescan(); }
