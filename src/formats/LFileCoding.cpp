#include "formats/LFileCoding.h"

#include <cstdio>
#include <strings.h>

#include "core/LFile.h"
#include "formats/LAifFile.h"
#include "formats/LAuFile.h"
#include "formats/LGenSource.h"
#include "formats/LMediaInfo.h"
#include "formats/LRawSettings.h"
#include "formats/LWaveFile.h"
#include "formats/mp3/LMP3Source.h"

namespace {

bool Is(const std::string& ext, const char* want) { return strcasecmp(ext.c_str(), want) == 0; }

std::string Pcm(uint32_t bits) { return "PCM " + std::to_string(bits) + "-bit"; }

const char* RawCodingName(uint8_t codec)
{
    switch (codec) {
    case kRawCodecVox: return "Dialogic ADPCM";
    case kRawCodecMuLaw: return "mu-law";
    case kRawCodecALaw: return "A-law";
    case kRawCodecPcm16LE: return "PCM 16-bit little-endian";
    case kRawCodecPcm8Unsigned: return "PCM 8-bit unsigned";
    case kRawCodecPcm8Signed: return "PCM 8-bit signed";
    case kRawCodecPcm16BE: return "PCM 16-bit big-endian";
    default: return "";
    }
}

LFileCoding Raw(const char* section)
{
    LRawSettings s = LRawSettings::Read(section);
    return {RawCodingName(s.codec), s.codec == kRawCodecVox ? 1 : s.channels, 0};
}

} // namespace

std::string LDescribeWavCoding(const LWaveFileFormat& f)
{
    const uint16_t tag = f.Coding();
    switch (tag) {
    case LWaveFileFormat::kTagPcm: return Pcm(f.BitsPerSample() <= 8 ? 8 : f.BitsPerSample());
    case LWaveFileFormat::kTagFloat: return "IEEE float " + std::to_string(f.BitsPerSample()) + "-bit";
    case 0x0002: return "Microsoft ADPCM";
    case 0x0006: return "A-law";
    case 0x0007: return "mu-law";
    case 0x0011: return "IMA ADPCM";
    case 0x0031: return "GSM 6.10";
    case 0x0050: return "MPEG layer 1/2";
    case 0x0055: return "MPEG layer 3";
    default: break;
    }
    std::string name = LMediaCodecNameForWavTag(tag);
    if (!name.empty())
        return name;
    char text[32];
    std::snprintf(text, sizeof text, "format tag 0x%04X", tag);
    return text;
}

LFileCoding LDescribeFileCoding(const std::string& path)
{
    const std::string ext = LGenExtension(path);
    LFile file;
    if (Is(ext, ".wav")) {
        LWaveFile::Layout layout;
        if (!LWaveFile::ReadLayout(path, layout))
            return {};
        const LWaveFileFormat& f = layout.format;
        const bool exact = f.Coding() == LWaveFileFormat::kTagPcm || f.Coding() == LWaveFileFormat::kTagFloat;
        return {LDescribeWavCoding(f), f.Channels(), exact ? f.BitsPerSample() : 0};
    }
    if (Is(ext, ".aif") || Is(ext, ".aiff")) {
        LAifFile::Layout layout;
        if (!file.Open(path, LFile::Mode::ReadPlain) || LAifFile::ReadLayout(file, layout) != kSrcGood)
            return {};
        const int32_t bits = layout.bits <= 8 ? 8 : layout.bits;
        return {Pcm(uint32_t(bits)), layout.channels, bits};
    }
    if (Is(ext, ".au")) {
        LAuFile::Header header;
        if (!file.Open(path, LFile::Mode::ReadPlain) || LAuFile::ReadHeader(file, header) != kSrcGood)
            return {};
        // Encodings 2 and 3 are linear 8 and 16-bit PCM.
        const int32_t bits = header.encoding == 2 ? 8 : header.encoding == 3 ? 16 : 0;
        return {LAuFile::EncodingName(header.encoding), header.channels, bits};
    }
    if (Is(ext, ".gsm"))
        return {"GSM 6.10", 1, 0};
    if (Is(ext, ".vox"))
        return Raw(kVoxAudioSection);
    if (Is(ext, ".raw") || Is(ext, ".snd"))
        return Raw(kRawAudioSection);
    if (Is(ext, ".mp3")) {
        LSoundSource mp3 = LMP3Source::Open(path);
        if (mp3->GetError() != kSrcGood)
            return {};
        return {"MPEG layer 3", mp3->GetChannels(), 0};
    }
    LMediaInfo info;
    if (!LMediaProbe(path, info))
        return {};
    return {info.coding, info.channels, info.bits};
}
