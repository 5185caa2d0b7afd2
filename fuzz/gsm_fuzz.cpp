// libFuzzer target: any bytes as a ".gsm" file (GSM 06.10 frames) through the
// format dispatch. Seeds: speech-like tones the program's GSM writer encoded.
#include <cmath>
#include <vector>

#include "FuzzSupport.h"
#include "formats/LGenSource.h"
#include "formats/gsm/LGSMFile.h"

namespace {

void MakeSeeds(const std::string& folder)
{
    const std::string path = fuzz::PathIn("seed.gsm");
    for (int32_t frames : {160, 1000, 3200}) {
        std::vector<int32_t> v(size_t(frames), 0);
        for (int32_t i = 0; i < frames; ++i)
            v[size_t(i)] = int32_t(300000 * std::sin(i * 0.07) * std::sin(i * 0.0011));
        LSoundSink sink = LGSMFile::OpenSink(path);
        sink->Write(v.data(), frames);
        sink.Reset();
        fuzz::WriteSeed(folder, "gsm" + std::to_string(frames), fuzz::ReadFile(path));
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
    std::string path = fuzz::WriteInput(data, size, ".gsm");
    LSoundSource source;
    uint8_t askOnce = 0;
    if (LGenSourceOpen(source, path, &askOnce) == 0)
        fuzz::ReadWhole(source, data, size, 1);
    return 0;
}
