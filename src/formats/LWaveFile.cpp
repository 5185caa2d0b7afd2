#include "formats/LWaveFile.h"

#include <cstring>

#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "core/LSRCNull.h"
#include "formats/LSNKACMFile.h"
#include "formats/LSNKPCMFile.h"
#include "formats/LSRCACMWave.h"
#include "formats/LSRCMixDown.h"
#include "formats/LSRCPCMFile.h"

namespace {

// Skips chunks until one named `id`; leaves the file after its 8-byte header.
bool FindChunk(LFile& file, const char* id, uint32_t& size)
{
    for (;;) {
        uint8_t h[8];
        if (file.Read(h, 8) != 8)
            return false;
        size = GetLE32(h + 4);
        if (std::memcmp(h, id, 4) == 0)
            return true;
        uint64_t skip = (uint64_t(size) + 1) & ~uint64_t(1);
        if (skip >= (uint64_t(1) << 31))
            return false;
        if (!file.Skip(int64_t(skip)))
            return false;
    }
}

// Whether the sizes of a format block that goes to a codec are ones a real file
// can have. Codecs are handed the block as it stands, and nonsense there (extra
// bytes the chunk does not hold, frames of a size the samples do not make up,
// blocks of no bytes) only makes them misread the data.
bool CodecSizesMakeSense(const LWaveFileFormat& f, uint32_t fmtSize)
{
    constexpr uint16_t kTagALaw = 0x0006, kTagMuLaw = 0x0007, kTagMpeg = 0x0050, kTagMp3 = 0x0055;
    if (fmtSize >= 18 && f.ExtraSize() > fmtSize - 18)
        return false;
    uint16_t coding = f.Tag();
    if (coding == LWaveFileFormat::kTagExtensible) {
        if (f.ExtraSize() < 22)
            return false;  // too short to name its sub-format
        coding = GetLE16(f.Extra() + 6);
    }
    const uint32_t channels = f.Channels(), bits = f.BitsPerSample(), align = f.BlockAlign();
    switch (coding) {
    case LWaveFileFormat::kTagPcm:
    case LWaveFileFormat::kTagFloat: return bits > 0 && align == channels * ((bits + 7) / 8);
    case kTagALaw:
    case kTagMuLaw: return align == channels;
    case kTagMpeg:
    case kTagMp3: return true;  // frames are found by their sync words, not by blocks
    default: return align > 0;
    }
}

// PCM wider than 16 bits, and IEEE float, that LSRCPCMWideFile reads: whole
// bytes a sample, as the block alignment says.
bool IsWidePcm(const LWaveFileFormat& f)
{
    const uint32_t channels = f.Channels(), bits = f.BitsPerSample(), align = f.BlockAlign();
    if (channels == 0 || align % channels != 0)
        return false;
    const uint32_t bytes = align / channels;
    if (f.Coding() == LWaveFileFormat::kTagPcm)
        return bits > 16 && bits <= 32 && bytes == (bits + 7) / 8;
    if (f.Coding() == LWaveFileFormat::kTagFloat)
        return (bits == 32 || bits == 64) && bytes == bits / 8;
    return false;
}

} // namespace

bool LWaveFile::NeedsCodec(const LWaveFileFormat& f)
{
    return !(f.Tag() == LWaveFileFormat::kTagPcm && f.BitsPerSample() <= 16) && !IsWidePcm(f);
}

uint64_t LWaveFile::ChannelMask(const LWaveFileFormat& format)
{
    if (format.Tag() != LWaveFileFormat::kTagExtensible || format.ExtraSize() < 22)
        return 0;
    return GetLE32(format.Extra() + 2);
}

bool LWaveFile::ReadLayout(LFile& file, Layout& layout)
{
    // Leading non-RIFF data laid out as chunks is skipped; the RIFF size itself is never used.
    for (;;) {
        uint8_t h[12];
        if (file.Read(h, 12) != 12)
            return false;
        if (std::memcmp(h, "RIFF", 4) == 0 && std::memcmp(h + 8, "WAVE", 4) == 0)
            break;
        uint64_t size = (uint64_t(GetLE32(h + 4)) + 1) & ~uint64_t(1);
        if (size < 5)
            return false;
        if (!file.Skip(int64_t(size - 4)))
            return false;
    }
    uint32_t fmtSize = 0;
    if (!FindChunk(file, "fmt ", fmtSize))
        return false;
    if (fmtSize < 16 || fmtSize > 8192)
        return false;
    uint8_t fmt[8192];
    if (file.Read(fmt, int32_t(fmtSize)) != int32_t(fmtSize))
        return false;
    layout.format = LWaveFileFormat();
    std::memcpy(layout.format.Data(), fmt, std::min<size_t>(fmtSize, LWaveFileFormat::kSize));
    if (fmtSize < 18)
        layout.format.SetExtraSize(0);
    if (!FindChunk(file, "data", layout.dataSize))
        return false;
    const LWaveFileFormat& f = layout.format;
    if (f.Channels() < 1 || f.Channels() > 255 || f.SamplesPerSec() < 1 || f.SamplesPerSec() > 196000)
        return false;
    const bool ownPcm = f.Tag() == LWaveFileFormat::kTagPcm && f.BitsPerSample() <= 16;
    return ownPcm || CodecSizesMakeSense(f, fmtSize);
}

bool LWaveFile::ReadLayout(const std::string& path, Layout& layout)
{
    LFile file;
    return file.Open(path, LFile::Mode::ReadPlain) && ReadLayout(file, layout);
}

LSoundSource LWaveFile::OpenSource(const std::string& path)
{
    LFile file;
    if (!file.Open(path, LFile::Mode::ReadPlain))
        return MakeErrorSource(kSrcCannotOpen);
    Layout layout;
    if (!ReadLayout(file, layout))
        return MakeErrorSource(kSrcInvalid);
    const LWaveFileFormat& f = layout.format;
    int32_t rate = int32_t(f.SamplesPerSec());
    if (f.Tag() == LWaveFileFormat::kTagPcm && f.BitsPerSample() <= 8)
        return LSRCMixDown::Wrap(MakeSource<LSRCPCM8File>(std::move(file), rate, f.Channels(), layout.dataSize));
    if (f.Tag() == LWaveFileFormat::kTagPcm && f.BitsPerSample() <= 16)
        return LSRCMixDown::Wrap(MakeSource<LSRCPCM16File>(std::move(file), rate, f.Channels(), layout.dataSize));
    if (IsWidePcm(f))
        return LSRCMixDown::Wrap(MakeSource<LSRCPCMWideFile>(std::move(file), rate, f.Channels(), layout.dataSize,
                                                             f.BlockAlign() / f.Channels(),
                                                             f.Coding() == LWaveFileFormat::kTagFloat),
                                 ChannelMask(f));
    LSoundSource codec = MakeSource<LSRCACMWave>(std::move(file), f, layout.dataSize);
    if (codec->GetError() != kSrcGood)
        return MakeErrorSource(codec->GetError());
    return LSRCMixDown::Wrap(codec, ChannelMask(f));
}

LSoundSink LWaveFile::OpenSinkPCM(const std::string& path, int32_t rate, int32_t startFrame, int32_t bits,
                                  uint8_t channels)
{
    if (bits >= 1 && bits <= 8)
        return MakeSink<LSNKPCM8File>(path, rate, startFrame, channels);
    if (bits >= 9 && bits <= 16)
        return MakeSink<LSNKPCM16File>(path, rate, startFrame, channels);
    return {};
}

LSoundSink LWaveFile::OpenSink(const std::string& path, const LWaveFileFormat& format)
{
    if (format.Tag() == LWaveFileFormat::kTagPcm)
        return OpenSinkPCM(path, int32_t(format.SamplesPerSec()), 0, format.BitsPerSample(),
                           uint8_t(std::min<uint16_t>(format.Channels(), 255)));
    // Wide PCM in an extensible block, and float, keep the stream's 20 bits.
    const bool widePcm = format.Coding() == LWaveFileFormat::kTagPcm &&
                         (format.BitsPerSample() == 24 || format.BitsPerSample() == 32);
    const bool isFloat = format.Coding() == LWaveFileFormat::kTagFloat &&
                         (format.BitsPerSample() == 32 || format.BitsPerSample() == 64);
    if ((widePcm || isFloat) && format.Channels() >= 1 &&
        format.BlockAlign() == format.Channels() * (format.BitsPerSample() / 8))
        return MakeSink<LSNKPCMWideFile>(path, format);
    return MakeSink<LSNKACMFile>(path, format);
}
