#include "formats/LAifFile.h"

#include <algorithm>
#include <cstring>

#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "core/LSRCNull.h"
#include "formats/LRawFileDataSoundSink.h"
#include "formats/LRawFileDataSoundSource.h"
#include "formats/LSRCMixDown.h"

namespace {

constexpr uint32_t kSizeNotGiven = 0xFFFFFFFFu;
// FORM holds 46 bytes of header besides the sample data.
constexpr uint32_t kFormOverhead = 46;

// Moves the file to the body of the next chunk called `id`, skipping others and
// their pad bytes. False at the end of the file or at a size with the top bit set.
bool FindChunk(LFile& file, const char* id, uint32_t& size)
{
    for (;;) {
        uint8_t h[8];
        if (file.Read(h, 8) != 8)
            return false;
        size = GetBE32(h + 4);
        if (std::memcmp(h, id, 4) == 0)
            return true;
        if (size & 0x80000000u)
            return false;
        if (!file.Skip(int64_t(size) + (size & 1)))
            return false;
    }
}

int32_t WriteAiffHeader(LRawFileDataSoundSinkBase& sink, bool final)
{
    const uint32_t data = uint32_t(sink.DataBytes());
    uint8_t h[LAifFile::kHeaderBytes];
    std::memcpy(h, "FORM", 4);
    PutBE32(h + 4, kFormOverhead + data);
    std::memcpy(h + 8, "AIFFCOMM", 8);
    PutBE32(h + 16, 18);
    PutBE16(h + 20, sink.GetChannels());
    PutBE32(h + 22, sink.GetPosition());
    PutBE16(h + 26, 16);
    LAifFile::WriteExtendedRate(h + 28, uint32_t(sink.GetSampleRate()));
    std::memcpy(h + 38, "SSND", 4);
    PutBE32(h + 42, final ? data + 8 : kSizeNotGiven);
    PutBE32(h + 46, 0);
    PutBE32(h + 50, 0);
    return sink.File().Write(h, sizeof h) == int32_t(sizeof h) ? LAifFile::kHeaderBytes : -1;
}

} // namespace

void LAifFile::WriteExtendedRate(uint8_t* out, uint32_t rate)
{
    std::memset(out, 0, 10);
    if (rate == 0)
        return;
    int32_t e = 31 - __builtin_clz(rate);
    // Biased exponent 16383 + e: 0x40, e - 1 for every rate from 2 up.
    PutBE16(out, uint16_t(16383 + e));
    PutBE32(out + 2, rate << (31 - e));
}

int32_t LAifFile::ReadExtendedRate(const uint8_t* in)
{
    // Only the exponent's low byte is used: every audio rate has 0x40 above it.
    const int32_t shift = 30 - in[1];
    const uint32_t mantissa = GetBE32(in + 2);
    if (shift <= 0 || shift > 31)
        return 0;
    uint32_t rate = mantissa >> shift;
    if ((mantissa >> (shift - 1)) & 1)
        ++rate;
    return rate > uint32_t(INT32_MAX) ? 0 : int32_t(rate);
}

uint8_t LAifFile::ReadLayout(LFile& file, Layout& layout)
{
    uint8_t form[12];
    if (file.Read(form, 12) != 12 || std::memcmp(form, "FORM", 4) != 0 || std::memcmp(form + 8, "AIFF", 4) != 0)
        return kSrcInvalid;

    uint32_t size = 0;
    if (!FindChunk(file, "COMM", size))
        return kSrcInvalid;
    uint8_t comm[18];
    if (size < 18 || file.Read(comm, 18) != 18)
        return kSrcInvalid;
    if (!file.Skip(int64_t(size - 18) + (size & 1)))
        return kSrcInvalid;
    layout.channels = GetBE16(comm);
    layout.bits = GetBE16(comm + 6);
    layout.rate = ReadExtendedRate(comm + 8);

    if (!FindChunk(file, "SSND", size))
        return kSrcInvalid;
    uint8_t ssnd[8];
    if (file.Read(ssnd, 8) != 8)
        return kSrcInvalid;
    // The offset field places the first frame after that many bytes of padding.
    const uint32_t offset = GetBE32(ssnd);
    layout.dataStart = file.Tell() + offset;
    layout.dataSize = LRawFileDataSoundSourceBase::kSizeFromFile;
    if (size != kSizeNotGiven)
        layout.dataSize = std::max<int64_t>(int64_t(size) - 8 - int64_t(offset), 0);

    if (layout.bits > 16)
        return kSrcNoCodec;
    if (layout.bits == 0 || layout.channels == 0 || layout.channels > 255 || layout.rate == 0)
        return kSrcInvalid;
    return kSrcGood;
}

LSoundSource LAifFile::OpenSource(const std::string& path)
{
    LFile file;
    if (!file.Open(path, LFile::Mode::ReadPlain))
        return MakeErrorSource(kSrcCannotOpen);
    Layout l;
    if (uint8_t state = ReadLayout(file, l); state != kSrcGood)
        return MakeErrorSource(state);
    const uint8_t codec = l.bits > 8 ? kRawCodecPcm16BE : kRawCodecPcm8Signed;
    return LSRCMixDown::Wrap(MakeRawDataSource(codec, std::move(file), l.dataStart, l.dataSize, l.rate, l.channels));
}

LSoundSink LAifFile::OpenSink(const std::string& path, int32_t rate, uint8_t channels)
{
    // FORM counts the data plus 46 bytes, and an SSND size of 0xFFFFFFFF marks an unfinished file.
    return MakeRawDataSink(kRawCodecPcm16BE, path, rate, channels, &WriteAiffHeader,
                           kSizeNotGiven - 1 - kFormOverhead);
}
