#include "formats/LAuFile.h"

#include <cstring>

#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "core/LSRCNull.h"
#include "formats/LRawFileDataSoundSink.h"
#include "formats/LRawFileDataSoundSource.h"
#include "formats/LSRCMixDown.h"

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

uint8_t LAuFile::ReadHeader(LFile& file, Header& header)
{
    uint8_t h[kHeaderBytes];
    if (file.Read(h, kHeaderBytes) != kHeaderBytes || std::memcmp(h, ".snd", 4) != 0)
        return kSrcInvalid;
    header.dataOffset = GetBE32(h + 4);
    header.dataSize = GetBE32(h + 8);
    header.encoding = GetBE32(h + 12);
    const uint32_t rate = GetBE32(h + 16);
    const uint32_t channels = GetBE32(h + 20);
    if (!EncodingName(header.encoding)[0])
        return kSrcNoCodec;
    // Counts the stream cannot even describe are damage, not a format to guess at.
    if (rate == 0 || rate > uint32_t(INT32_MAX) || channels == 0 || channels > 255)
        return kSrcInvalid;
    header.rate = int32_t(rate);
    header.channels = uint16_t(channels);
    return kSrcGood;
}

const char* LAuFile::EncodingName(uint32_t encoding)
{
    switch (encoding) {
    case kEncodingMuLaw: return "mu-law";
    case kEncodingPcm8: return "PCM 8-bit";
    case kEncodingPcm16: return "PCM 16-bit";
    case kEncodingALaw: return "A-law";
    default: return "";
    }
}

LSoundSource LAuFile::OpenSource(const std::string& path)
{
    LFile file;
    if (!file.Open(path, LFile::Mode::ReadPlain))
        return MakeErrorSource(kSrcCannotOpen);
    Header h;
    if (uint8_t state = ReadHeader(file, h); state != kSrcGood)
        return MakeErrorSource(state);
    uint8_t codec = kRawCodecPcm16BE;
    switch (h.encoding) {
    case kEncodingMuLaw: codec = kRawCodecMuLaw; break;
    case kEncodingPcm8: codec = kRawCodecPcm8Signed; break;
    case kEncodingALaw: codec = kRawCodecALaw; break;
    default: break;
    }
    const int64_t dataSize =
        h.dataSize == kSizeNotGiven ? LRawFileDataSoundSourceBase::kSizeFromFile : int64_t(h.dataSize);
    return LSRCMixDown::Wrap(MakeRawDataSource(codec, std::move(file), h.dataOffset, dataSize, h.rate, h.channels));
}

LSoundSink LAuFile::OpenSink(const std::string& path, int32_t rate, uint8_t channels)
{
    // 0xFFFFFFFF in the size field means "not given", so the data stops short of it.
    return MakeRawDataSink(kRawCodecPcm16BE, path, rate, channels, &WriteAuHeader, kSizeNotGiven - 1);
}
