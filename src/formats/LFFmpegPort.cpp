#include "formats/LFFmpegPort.h"

#include <cstdio>
#include <dlfcn.h>
#include <mutex>

#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "formats/LComponents.h"
#include "formats/LMediaDecoder.h"
#include "formats/LMixDownMatrix.h"

namespace {

const LFFmpegPort* Load()
{
    // Beside the program (the build's bin folder), beside a test's folder, and
    // where the package installs it.
    const std::string here = LExecutableFolder();
    const std::string places[] = {FilePathCat(here, kFFmpegModuleName),
                                  FilePathCat(FilePathCat(here, "../bin"), kFFmpegModuleName),
                                  FilePathCat(FilePathCat(here, "../lib/kelvane"), kFFmpegModuleName)};
    std::string why;
    for (const std::string& path : places) {
        if (!FileExists(path))
            continue;
        void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            why = ::dlerror();
            continue;
        }
        using Entry = const LFFmpegPort* (*)(int32_t);
        auto entry = reinterpret_cast<Entry>(::dlsym(module, kFFmpegPortSymbol));
        if (const LFFmpegPort* port = entry ? entry(kFFmpegPortVersion) : nullptr)
            return port;  // stays loaded for the life of the process
        why = path + " is of another build";
        ::dlclose(module);
    }
    std::fprintf(stderr, "kelvane: the FFmpeg module %s cannot be loaded (%s); files that need FFmpeg cannot be read.\n",
                 kFFmpegModuleName, why.empty() ? ("not found beside " + here).c_str() : why.c_str());
    return nullptr;
}

} // namespace

const LFFmpegPort* LFFmpeg()
{
    static std::once_flag once;
    static const LFFmpegPort* port = nullptr;
    std::call_once(once, [] { port = Load(); });
    return port;
}

std::unique_ptr<LAcmStream> LAcmStream::Open(const LWaveFileFormat& from, const LWaveFileFormat& to)
{
    const LFFmpegPort* ff = LFFmpeg();
    return ff ? ff->openAcmStream(from, to) : nullptr;
}

bool LAcmStream::Query(const LWaveFileFormat& from, const LWaveFileFormat& to) { return Open(from, to) != nullptr; }

std::vector<LAcmFormat> LAcmFormats::List(int32_t rate, uint16_t channels)
{
    const LFFmpegPort* ff = LFFmpeg();
    return ff ? ff->listAcmFormats(rate, channels) : std::vector<LAcmFormat>{};
}

int32_t LMediaDecodeToWav(LProgressDialog& dialog, const std::string& input, const std::string& wavPath)
{
    const LFFmpegPort* ff = LFFmpeg();
    if (!ff)
        return kJobFailed;
    auto progress = [&](double fraction) {
        if (fraction >= 0)
            dialog.SetProgress(fraction);
        return dialog.IsCancelled();
    };
    return ff->decodeToWav(progress, input, wavPath);
}

bool LMediaProbe(const std::string& path, LMediaInfo& info)
{
    const LFFmpegPort* ff = LFFmpeg();
    return ff && ff->probe(path, info);
}

std::string LMediaCodecNameForWavTag(uint16_t tag)
{
    const LFFmpegPort* ff = LFFmpeg();
    return ff ? ff->codecNameForWavTag(tag) : std::string();
}

bool LMixDownMatrix(int32_t channels, uint64_t mask, std::vector<double>& matrix)
{
    const LFFmpegPort* ff = LFFmpeg();
    return ff && ff->mixDownMatrix(channels, mask, matrix);
}
