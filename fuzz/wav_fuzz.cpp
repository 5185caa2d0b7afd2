// libFuzzer target: any bytes as a ".wav" file through the format dispatch, PCM
// and every coding the codec layer decodes. Seeds: small files of every format
// the program writes, and the same blocks relabelled with other codec tags.
#include <vector>

#include "FuzzSupport.h"
#include "core/ByteOrder.h"
#include "core/LSoundSink.h"
#include "formats/LAcmStream.h"
#include "formats/LGenSource.h"
#include "formats/LWaveFile.h"

namespace {

std::vector<int32_t> Tone(int32_t frames, int32_t channels)
{
    std::vector<int32_t> v(size_t(frames) * size_t(channels));
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int32_t((i * 7919) % 60000) * 8 - 240000;
    return v;
}

std::string Written(LSoundSink sink, const std::string& path, int32_t frames)
{
    if (!sink || sink->IsError())
        return {};
    std::vector<int32_t> v = Tone(frames, sink->GetChannels());
    sink->Write(v.data(), frames);
    sink.Reset();
    return fuzz::ReadFile(path);
}

void MakeSeeds(const std::string& folder)
{
    const std::string path = fuzz::PathIn("seed.wav");
    for (int32_t bits : {8, 16})
        for (uint8_t channels : {1, 2, 6})
            fuzz::WriteSeed(folder, "pcm" + std::to_string(bits) + "-" + std::to_string(channels),
                            Written(LWaveFile::OpenSinkPCM(path, 8000, 0, bits, channels), path, 300));
    int n = 0;
    std::string blockCoded;
    for (int32_t rate : {8000, 22050})
        for (const LAcmFormat& f : LAcmFormats::List(rate, 0)) {
            std::string bytes = Written(LWaveFile::OpenSink(path, f.format), path, rate / 10);
            if (bytes.empty())
                continue;
            fuzz::WriteSeed(folder, "codec" + std::to_string(n++), bytes);
            const size_t fmt = bytes.find("fmt ");
            if (fmt == std::string::npos)
                continue;
            auto* body = reinterpret_cast<uint8_t*>(bytes.data()) + fmt + 8;
            if (GetLE16(body) == 0x55) {
                PutLE32(body + 8, 0);  // no byte rate
                PutLE16(body + 12, 1);
                fuzz::WriteSeed(folder, "codec" + std::to_string(n++), bytes);
            }
            if (GetLE16(body) == 0x11 && blockCoded.empty())
                blockCoded = bytes;
        }
    // Codings the program does not write but reads through FFmpeg: G.726, Yamaha,
    // TrueSpeech, Duck DK3/DK4, AAC, WMA 2, AC-3.
    for (uint16_t tag : {0x0045, 0x0064, 0x0020, 0x0022, 0x0061, 0x0062, 0x00FF, 0x0161, 0x2000}) {
        std::string bytes = blockCoded;
        const size_t fmt = bytes.find("fmt ");
        if (fmt == std::string::npos)
            break;
        PutLE16(reinterpret_cast<uint8_t*>(bytes.data()) + fmt + 8, tag);
        fuzz::WriteSeed(folder, "tag" + std::to_string(tag), bytes);
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
    std::string path = fuzz::WriteInput(data, size, ".wav");
    LSoundSource source;
    uint8_t askOnce = 0;
    if (LGenSourceOpen(source, path, &askOnce) == 0)
        fuzz::ReadWhole(source, data, size);
    return 0;
}
