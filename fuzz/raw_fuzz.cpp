// libFuzzer target: headerless ".raw" files through the format dispatch. The
// first byte picks the coding (0-6, and invalid ones) and the channel count as
// the stored settings would, the rest is the file. Seeds: a tone in each coding.
#include <vector>

#include "FuzzSupport.h"
#include "core/LSettings.h"
#include "formats/LGenSource.h"
#include "formats/LRawFile.h"
#include "formats/LRawSettings.h"

namespace {

void MakeSeeds(const std::string& folder)
{
    const std::string path = fuzz::PathIn("seed.raw");
    for (uint8_t codec = 0; codec < kRawCodecCount; ++codec)
        for (uint8_t channels : {1, 2}) {
            LRawSettings settings;
            settings.sampleRate = 8000;
            settings.channels = channels;
            settings.codec = codec;
            std::vector<int32_t> v(size_t(700) * channels);
            for (size_t i = 0; i < v.size(); ++i)
                v[i] = int32_t(i % 101) * 4500 - 225000;
            LSoundSink sink = LRawFile::OpenSink(path, settings);
            sink->Write(v.data(), 700);
            sink.Reset();
            const char head = char(codec | (channels == 2 ? 0x10 : 0));
            fuzz::WriteSeed(folder, "raw" + std::to_string(codec) + "-" + std::to_string(channels),
                            head + fuzz::ReadFile(path));
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
    if (size < 1)
        return 0;
    const uint8_t codec = data[0] & 0x0F;  // 7 and above are not codings
    const int32_t channels = (data[0] >> 4) & 3;  // 0 and 3 are taken as 1 and 2
    LSettings::SetOverride(kRawAudioSection, "Codec", std::to_string(codec));
    LSettings::SetOverride(kRawAudioSection, "Channels", std::to_string(channels));
    LSettings::SetOverride(kRawAudioSection, "SampleRate", std::to_string(6000 + 1000 * (data[0] >> 6)));
    std::string path = fuzz::WriteInput(data + 1, size - 1, ".raw");
    LSoundSource source;
    uint8_t askOnce = 0;
    if (LGenSourceOpen(source, path, &askOnce) == 0)
        fuzz::ReadWhole(source, data, size);
    return 0;
}
