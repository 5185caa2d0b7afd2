// libFuzzer target: any bytes as a ".dct" dictation file through the format
// dispatch, which copies out the WAV file inside and opens it. Seeds: each
// header version around a small WAV, with texts and attachments.
#include <vector>

#include "FuzzSupport.h"
#include "core/ByteOrder.h"
#include "formats/LGenSource.h"
#include "formats/LWaveFile.h"

namespace {

std::string Dct(const std::string& wav, uint16_t version, uint32_t flags)
{
    std::string h;
    auto u8 = [&](uint32_t v) { h += char(v); };
    auto u16 = [&](uint32_t v) { u8(v & 0xFF), u8(v >> 8); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    u16(version);
    u32(0);  // the file's length, set below
    u32(flags);
    h += std::string(8, '\0');
    if (version > 2) {
        u32(3);
        h += "xyz";
    }
    h += std::string(4, '\0');
    for (int i = 0; i < 11; ++i) {
        u8(uint32_t(i % 3));
        h += std::string(size_t(i % 3), 'a');
    }
    u8(0);
    u32(0);  // notes length
    if (flags & 4) {
        u8(1);
        u8(4);
        h += "note";
        u32(5);
        h += "12345";
    }
    if (version != 0) {
        u8(1);
        u32(uint32_t(wav.size()));
    }
    h += wav;
    PutLE32(reinterpret_cast<uint8_t*>(h.data()) + 2, uint32_t(h.size()));
    return h;
}

void MakeSeeds(const std::string& folder)
{
    const std::string path = fuzz::PathIn("inner.wav");
    std::vector<int32_t> v(400);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int32_t(i % 50) * 8000 - 200000;
    LSoundSink sink = LWaveFile::OpenSinkPCM(path, 8000, 0, 16, 1);
    sink->Write(v.data(), 400);
    sink.Reset();
    const std::string wav = fuzz::ReadFile(path);
    for (uint16_t version : {0, 1, 2, 3})
        for (uint32_t flags : {0u, 4u})
            fuzz::WriteSeed(folder, "dct" + std::to_string(version) + "-" + std::to_string(flags),
                            Dct(wav, version, flags));
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
    std::string path = fuzz::WriteInput(data, size, ".dct");
    LSoundSource source;
    uint8_t askOnce = 0;
    if (LGenSourceOpen(source, path, &askOnce) == 0)
        fuzz::ReadWhole(source, data, size);
    return 0;
}
