// libFuzzer target: any bytes as an ".aif" file through the format dispatch.
// Seeds: the program's own AIFF files, relabelled as 8-bit, and with a chunk
// before COMM.
#include <vector>

#include "FuzzSupport.h"
#include "core/ByteOrder.h"
#include "formats/LAifFile.h"
#include "formats/LGenSource.h"

namespace {

void MakeSeeds(const std::string& folder)
{
    const std::string path = fuzz::PathIn("seed.aif");
    for (uint8_t channels : {1, 2, 6}) {
        std::vector<int32_t> v(size_t(400) * channels);
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = int32_t(i % 89) * 5000 - 220000;
        LSoundSink sink = LAifFile::OpenSink(path, 11025, channels);
        sink->Write(v.data(), 400);
        sink.Reset();
        std::string bytes = fuzz::ReadFile(path);
        fuzz::WriteSeed(folder, "aiff16-" + std::to_string(channels), bytes);
        if (bytes.size() < 54)
            continue;
        std::string eight = bytes;
        PutBE16(reinterpret_cast<uint8_t*>(eight.data()) + 26, 8);
        fuzz::WriteSeed(folder, "aiff8-" + std::to_string(channels), eight);
        // An odd-sized NAME chunk (with its pad byte) before COMM.
        std::string named = bytes.substr(0, 12) + std::string("NAME\0\0\0\x03" "abc\0", 12) + bytes.substr(12);
        PutBE32(reinterpret_cast<uint8_t*>(named.data()) + 4, uint32_t(named.size() - 8));
        fuzz::WriteSeed(folder, "aiff-named-" + std::to_string(channels), named);
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
    std::string path = fuzz::WriteInput(data, size, ".aif");
    LSoundSource source;
    uint8_t askOnce = 0;
    if (LGenSourceOpen(source, path, &askOnce) == 0)
        fuzz::ReadWhole(source, data, size);
    return 0;
}
