// libFuzzer target: any bytes as an ".mp3" file through the format dispatch,
// read whole with seeks. The seed is an MP3 file lame made (see ./test).
#include "FuzzSupport.h"
#include "formats/LGenSource.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Home();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz::WriteInput(data, size, ".mp3");
    LSoundSource source;
    uint8_t askOnce = 0;
    if (LGenSourceOpen(source, path, &askOnce) == 0)
        fuzz::ReadWhole(source, data, size);
    return 0;
}
