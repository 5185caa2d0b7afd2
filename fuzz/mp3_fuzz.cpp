// libFuzzer target: any bytes as an MP3 file. Opens, reads to the end (bounded),
// seeks and reads again; the sanitizers report what goes wrong.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/LFile.h"
#include "formats/mp3/LMP3Source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = GetTempFolder() + "/kelvane-mp3-fuzz-" + std::to_string(getpid()) + ".mp3";
    {
        LFile out;
        if (!out.Open(path, LFile::Mode::Create))
            return 0;
        out.Write(data, int32_t(size));
    }
    LSoundSource src = LMP3Source::Open(path);
    if (src->GetError() != kSrcGood)
        return 0;
    std::vector<int32_t> buffer(size_t(4096) * src->GetChannels());
    for (int32_t reads = 0; reads < 8 && src->GetPosition() < src->GetLength(); ++reads)
        src->Read(buffer.data(), 4096);
    if (size > 2) {
        src->Seek(int32_t(data[0]) * 256 + data[1]);
        src->Read(buffer.data(), 4096);
    }
    return 0;
}
