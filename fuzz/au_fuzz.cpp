// libFuzzer target: any bytes as an ".au" file through the format dispatch.
// Seeds: the program's own AU files and their header relabelled as each encoding
// read, mono, stereo and six channels.
#include <vector>

#include "FuzzSupport.h"
#include "core/ByteOrder.h"
#include "formats/LAuFile.h"
#include "formats/LGenSource.h"

namespace {

void MakeSeeds(const std::string& folder)
{
    const std::string path = fuzz::PathIn("seed.au");
    std::vector<int32_t> v(600 * 6);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int32_t(i % 97) * 4000 - 190000;
    LSoundSink sink = LAuFile::OpenSink(path, 8000, 6);
    sink->Write(v.data(), 600);
    sink.Reset();
    std::string six = fuzz::ReadFile(path);
    for (uint32_t encoding : {1u, 2u, 3u, 27u})
        for (uint32_t channels : {1u, 2u, 6u}) {
            std::string bytes = six;
            PutBE32(reinterpret_cast<uint8_t*>(bytes.data()) + 12, encoding);
            PutBE32(reinterpret_cast<uint8_t*>(bytes.data()) + 20, channels);
            fuzz::WriteSeed(folder, "au" + std::to_string(encoding) + "-" + std::to_string(channels), bytes);
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
    std::string path = fuzz::WriteInput(data, size, ".au");
    LSoundSource source;
    uint8_t askOnce = 0;
    if (LGenSourceOpen(source, path, &askOnce) == 0)
        fuzz::ReadWhole(source, data, size);
    return 0;
}
