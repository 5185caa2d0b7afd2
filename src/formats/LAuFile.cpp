#include "formats/LAuFile.h"

#include <cstring>

#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "core/LSRCNull.h"
#include "formats/LRawFileDataSoundSink.h"
#include "formats/LRawFileDataSoundSource.h"

namespace {

constexpr uint32_t kSizeNotGiven = 0xFFFFFFFFu;
constexpr uint32_t kEncodingMuLaw = 1;
constexpr uint32_t kEncodingPcm8 = 2;
constexpr uint32_t kEncodingPcm16 = 3;
constexpr uint32_t kEncodingALaw = 27;

int32_t WriteAuHeader(LRawFileDataSoundSinkBase& sink, bool final)
{
    uint8_t h[LAuFile::kHeaderBytes];
    std::memcpy(h, ".snd", 4);
    PutBE32(h + 4, LAuFile::kHeaderBytes);
    PutBE32(h + 8, final ? uint32_t(sink.DataBytes()) : kSizeNotGiven);
    PutBE32(h + 12, kEncodingPcm16);
    PutBE32(h + 16, uint32_t(sink.GetSampleRate()));
    PutBE32(h + 20, sink.GetChannels());
    return sink.File().Write(h, sizeof h) == int32_t(sizeof h) ? LAuFile::kHeaderBytes : -1;
}

} // namespace

LSoundSource LAuFile::OpenSource(const std::string& path)
{
    LFile file;
    if (!file.Open(path, LFile::Mode::Read))
        return MakeErrorSource(kSrcCannotOpen);
    uint8_t h[kHeaderBytes];
    if (file.Read(h, kHeaderBytes) != kHeaderBytes || std::memcmp(h, ".snd", 4) != 0)
        return MakeErrorSource(kSrcInvalid);
    const uint32_t offset = GetBE32(h + 4);
    const uint32_t size = GetBE32(h + 8);
    const uint32_t encoding = GetBE32(h + 12);
    const uint32_t rate = GetBE32(h + 16);
    const uint32_t channels = GetBE32(h + 20);
    uint8_t codec;
    switch (encoding) {
    case kEncodingMuLaw: codec = kRawCodecMuLaw; break;
    case kEncodingPcm8: codec = kRawCodecPcm8Signed; break;
    case kEncodingPcm16: codec = kRawCodecPcm16BE; break;
    case kEncodingALaw: codec = kRawCodecALaw; break;
    default: return MakeErrorSource(kSrcNoCodec);
    }
    // A count the stream cannot even describe is damage, not a format to guess at.
    if (channels == 0 || channels > 255)
        return MakeErrorSource(kSrcInvalid);
    const int64_t dataSize = size == kSizeNotGiven ? LRawFileDataSoundSourceBase::kSizeFromFile : int64_t(size);
    return MakeRawDataSource(codec, std::move(file), offset, dataSize, int32_t(rate), uint16_t(channels));
}

LSoundSink LAuFile::OpenSink(const std::string& path, int32_t rate, uint8_t channels)
{
    // 0xFFFFFFFF in the size field means "not given", so the data stops short of it.
    return MakeRawDataSink(kRawCodecPcm16BE, path, rate, channels, &WriteAuHeader, kSizeNotGiven - 1);
}
