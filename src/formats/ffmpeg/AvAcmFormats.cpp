// The WAV formats this program can write, for the format chooser.
#include <cstdio>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
}

#include "formats/ffmpeg/AvPort.h"

namespace {

struct Candidate {
    const char* name;
    uint16_t tag;
    uint16_t bits;
    AVCodecID id;
    int64_t bitRate;  // 0: the codec's own
};

const Candidate kCandidates[] = {
    {"PCM", LWaveFileFormat::kTagExtensible, 24, AV_CODEC_ID_PCM_S24LE, 0},
    {"PCM", LWaveFileFormat::kTagExtensible, 32, AV_CODEC_ID_PCM_S32LE, 0},
    {"IEEE Float", 3, 32, AV_CODEC_ID_PCM_F32LE, 0},
    {"IEEE Float", 3, 64, AV_CODEC_ID_PCM_F64LE, 0},
    {"IMA ADPCM", 0x11, 4, AV_CODEC_ID_ADPCM_IMA_WAV, 0},
    {"Microsoft ADPCM", 0x02, 4, AV_CODEC_ID_ADPCM_MS, 0},
    {"CCITT A-Law", 0x06, 8, AV_CODEC_ID_PCM_ALAW, 0},
    {"CCITT u-Law", 0x07, 8, AV_CODEC_ID_PCM_MULAW, 0},
    {"GSM 6.10", 0x31, 0, AV_CODEC_ID_GSM_MS, 0},
    {"MPEG Layer-3", 0x55, 0, AV_CODEC_ID_MP3, 64000},
    {"MPEG Layer-3", 0x55, 0, AV_CODEC_ID_MP3, 128000},
    {"MPEG Layer-3", 0x55, 0, AV_CODEC_ID_MP3, 192000},
};

// Opens the encoder to learn the block layout it writes; false when it cannot
// encode at that rate and channel count.
bool Describe(const Candidate& c, int32_t rate, uint16_t channels, LWaveFileFormat& f)
{
    const AVCodec* codec = avcodec_find_encoder(c.id);
    if (!codec)
        return false;
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    if (!ctx)
        return false;
    ctx->sample_rate = rate;
    av_channel_layout_default(&ctx->ch_layout, channels);
    ctx->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    ctx->bit_rate = c.bitRate;
    bool ok = avcodec_open2(ctx, codec, nullptr) >= 0;
    if (ok) {
        f = LWaveFileFormat();
        f.SetTag(c.tag);
        f.SetChannels(channels);
        f.SetSamplesPerSec(uint32_t(rate));
        int align = ctx->block_align > 0 ? ctx->block_align : channels * c.bits / 8;
        if (c.id == AV_CODEC_ID_MP3)
            align = 1;
        f.SetBlockAlign(uint16_t(align));
        f.SetBitsPerSample(c.bits);
        uint32_t avg = ctx->frame_size > 0 && c.id != AV_CODEC_ID_MP3
                           ? uint32_t(int64_t(align) * rate / ctx->frame_size)
                           : ctx->bit_rate > 0 ? uint32_t(ctx->bit_rate / 8) : uint32_t(align * rate);
        if (c.id >= AV_CODEC_ID_PCM_S16LE && c.id < AV_CODEC_ID_ADPCM_IMA_QT)
            avg = uint32_t(align * rate);
        f.SetAvgBytesPerSec(avg);
        uint8_t* extra = f.Data() + 18;
        switch (c.id) {
        case AV_CODEC_ID_ADPCM_MS:
            if (ctx->extradata_size > 0 && ctx->extradata_size < 1000) {
                f.SetExtraSize(uint16_t(ctx->extradata_size));
                std::copy_n(ctx->extradata, ctx->extradata_size, extra);
            }
            break;
        case AV_CODEC_ID_ADPCM_IMA_WAV:
        case AV_CODEC_ID_GSM_MS:
            f.SetExtraSize(2);
            PutLE16(extra, uint16_t(ctx->frame_size));
            break;
        case AV_CODEC_ID_PCM_S24LE:
        case AV_CODEC_ID_PCM_S32LE: f = LWaveFileFormat::ExtensiblePcm(rate, channels, c.bits); break;
        case AV_CODEC_ID_MP3:
            f.SetExtraSize(12);
            PutLE16(extra, 1);                                  // MPEG id
            PutLE32(extra + 2, 2);                              // padding off
            PutLE16(extra + 6, uint16_t(144 * c.bitRate / rate)); // block size
            PutLE16(extra + 8, 1);                              // frames per block
            PutLE16(extra + 10, 1393);                          // codec delay
            break;
        default: break;
        }
    }
    avcodec_free_context(&ctx);
    return ok && AvOpenAcmStream(LWaveFileFormat::Pcm(rate, channels), f) != nullptr;
}

std::string Detail(const LWaveFileFormat& f)
{
    char text[128];
    std::snprintf(text, sizeof text, "%u Hz, %s%s, %u kb/sec", f.SamplesPerSec(),
                  f.BitsPerSample() ? (std::to_string(f.BitsPerSample()) + " Bit, ").c_str() : "",
                  f.Channels() == 1 ? "Mono" : "Stereo", f.AvgBytesPerSec() * 8 / 1000);
    return text;
}

} // namespace

std::vector<LAcmFormat> AvListAcmFormats(int32_t rate, uint16_t channels)
{
    std::vector<LAcmFormat> out;
    for (uint16_t ch = 1; ch <= 2; ++ch) {
        if (channels != 0 && ch != channels)
            continue;
        for (const Candidate& c : kCandidates) {
            LWaveFileFormat f;
            if (Describe(c, rate, ch, f))
                out.push_back({c.name, Detail(f), f});
        }
    }
    return out;
}
