// libFuzzer target: any bytes as a ".vox" file (Dialogic ADPCM) through the
// format dispatch, at the rate the first byte picks. Seeds: tones the program's
// VOX writer encoded.
#include <cmath>
#include <vector>

#include "FuzzSupport.h"
#include "core/LSettings.h"
#include "formats/LGenSource.h"
#include "formats/LVoxFile.h"

namespace {

void MakeSeeds(const std::string& folder)
{
    const std::string path = fuzz::PathIn("seed.vox");
    for (int32_t frames : {1, 501, 4000}) {
        std::vector<int32_t> v(size_t(frames), 0);
        for (int32_t i = 0; i < frames; ++i)
            v[size_t(i)] = int32_t(250000 * std::sin(i * 0.05));
        LSoundSink sink = LVoxFile::OpenSink(path, 8000);
        sink->Write(v.data(), frames);
        sink.Reset();
        fuzz::WriteSeed(folder, "vox" + std::to_string(frames), fuzz::ReadFile(path));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Home();
    fuzz::SeedOnce(*argc, *argv, MakeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz::WriteInput(data, size, ".vox");
    LSettings::SetOverride("VoxAudio", "SampleRate", std::to_string(size ? 2000 * (1 + data[0] % 98) : 8000));
    LSoundSource source;
    uint8_t askOnce = 0;
    if (LGenSourceOpen(source, path, &askOnce) == 0)
        fuzz::ReadWhole(source, data, size, 1);
    return 0;
}
