// The compressed-WAV codec port over libavcodec.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include "formats/ffmpeg/AvPort.h"

namespace {

// The codec of a WAV format block; AV_CODEC_ID_NONE when there is none.
AVCodecID CodecOf(const LWaveFileFormat& f)
{
    uint16_t tag = f.Tag();
    uint16_t bits = f.BitsPerSample();
    if (tag == LWaveFileFormat::kTagExtensible && f.ExtraSize() >= 22)
        tag = GetLE16(f.Extra() + 6);  // first bytes of the sub-format GUID
    if (tag == LWaveFileFormat::kTagPcm) {
        switch (bits) {
        case 8: return AV_CODEC_ID_PCM_U8;
        case 16: return AV_CODEC_ID_PCM_S16LE;
        case 24: return AV_CODEC_ID_PCM_S24LE;
        case 32: return AV_CODEC_ID_PCM_S32LE;
        default: return AV_CODEC_ID_NONE;
        }
    }
    if (tag == LWaveFileFormat::kTagFloat)
        return bits == 64 ? AV_CODEC_ID_PCM_F64LE : bits == 32 ? AV_CODEC_ID_PCM_F32LE : AV_CODEC_ID_NONE;
    return av_codec_get_id(std::array<const AVCodecTag*, 2>{avformat_get_riff_audio_tags(), nullptr}.data(), tag);
}

int16_t Clip16(int64_t v) { return int16_t(std::clamp<int64_t>(v, -32768, 32767)); }

// One sample of `frame` (channel `ch`, index `i`) as 16-bit.
int16_t SampleAt(const AVFrame* frame, int ch, int i)
{
    const int channels = frame->ch_layout.nb_channels;
    const auto fmt = AVSampleFormat(frame->format);
    const bool planar = av_sample_fmt_is_planar(fmt);
    const uint8_t* base = planar ? frame->extended_data[ch] : frame->extended_data[0];
    const int index = planar ? i : i * channels + ch;
    switch (av_get_packed_sample_fmt(fmt)) {
    case AV_SAMPLE_FMT_U8: return int16_t((int32_t(base[index]) - 128) * 256);
    case AV_SAMPLE_FMT_S16: return reinterpret_cast<const int16_t*>(base)[index];
    case AV_SAMPLE_FMT_S32: return Clip16((int64_t(reinterpret_cast<const int32_t*>(base)[index]) + 32768) >> 16);
    case AV_SAMPLE_FMT_FLT: return Clip16(std::lrint(double(reinterpret_cast<const float*>(base)[index]) * 32768.0));
    case AV_SAMPLE_FMT_DBL: return Clip16(std::lrint(reinterpret_cast<const double*>(base)[index] * 32768.0));
    default: return 0;
    }
}

void PutSample(AVFrame* frame, int ch, int i, int16_t v)
{
    const int channels = frame->ch_layout.nb_channels;
    const auto fmt = AVSampleFormat(frame->format);
    const bool planar = av_sample_fmt_is_planar(fmt);
    uint8_t* base = planar ? frame->extended_data[ch] : frame->extended_data[0];
    const int index = planar ? i : i * channels + ch;
    switch (av_get_packed_sample_fmt(fmt)) {
    case AV_SAMPLE_FMT_U8: base[index] = uint8_t((v >> 8) + 128); break;
    case AV_SAMPLE_FMT_S16: reinterpret_cast<int16_t*>(base)[index] = v; break;
    case AV_SAMPLE_FMT_S32: reinterpret_cast<int32_t*>(base)[index] = int32_t(uint32_t(int32_t(v)) << 16); break;
    case AV_SAMPLE_FMT_FLT: reinterpret_cast<float*>(base)[index] = float(v) / 32768.0f; break;
    case AV_SAMPLE_FMT_DBL: reinterpret_cast<double*>(base)[index] = double(v) / 32768.0; break;
    default: break;
    }
}

// Moves what fits of `pending` into the header's destination.
void DeliverPending(std::deque<uint8_t>& pending, LAcmStreamHeader& h)
{
    uint32_t room = h.destinationLength - h.destinationUsed;
    uint32_t n = uint32_t(std::min<size_t>(room, pending.size()));
    std::copy_n(pending.begin(), n, h.destination + h.destinationUsed);
    pending.erase(pending.begin(), pending.begin() + n);
    h.destinationUsed += n;
}

// FFmpeg's parsers and decoders may read up to AV_INPUT_BUFFER_PADDING_SIZE bytes
// past the end of what they are given, and the callers' buffers have no such
// margin: every input is handed over from this copy with a zeroed tail.
class PaddedInput {
public:
    const uint8_t* Hold(const uint8_t* data, uint32_t size)
    {
        if (bytes_.size() < size_t(size) + AV_INPUT_BUFFER_PADDING_SIZE)
            bytes_.resize(size_t(size) + AV_INPUT_BUFFER_PADDING_SIZE);
        if (size > 0)
            std::memcpy(bytes_.data(), data, size);
        std::memset(bytes_.data() + size, 0, AV_INPUT_BUFFER_PADDING_SIZE);
        return bytes_.data();
    }

private:
    std::vector<uint8_t> bytes_;
};

struct CodecContext {
    AVCodecContext* ctx = nullptr;
    ~CodecContext() { avcodec_free_context(&ctx); }
};

// Decodes a WAV codec to 16-bit PCM, every channel.
class AvDecodeStream : public LAcmStream {
public:
    bool Open(const LWaveFileFormat& from)
    {
        AVCodecID id = CodecOf(from);
        const AVCodec* codec = id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(id);
        if (!codec || from.Channels() == 0 || from.SamplesPerSec() == 0)
            return false;
        c_.ctx = avcodec_alloc_context3(codec);
        if (!c_.ctx)
            return false;
        AVCodecContext* ctx = c_.ctx;
        ctx->sample_rate = int(from.SamplesPerSec());
        av_channel_layout_default(&ctx->ch_layout, from.Channels());
        ctx->block_align = from.BlockAlign();
        ctx->bits_per_coded_sample = from.BitsPerSample();
        ctx->bit_rate = int64_t(from.AvgBytesPerSec()) * 8;
        int extra = std::min<int>(from.ExtraSize(), LWaveFileFormat::kSize - 18);
        if (extra > 0 && from.Tag() != LWaveFileFormat::kTagExtensible) {
            ctx->extradata = static_cast<uint8_t*>(av_mallocz(size_t(extra) + AV_INPUT_BUFFER_PADDING_SIZE));
            std::memcpy(ctx->extradata, from.Extra(), size_t(extra));
            ctx->extradata_size = extra;
        }
        if (avcodec_open2(ctx, codec, nullptr) < 0)
            return false;
        channels_ = from.Channels();
        blockAlign_ = std::max<uint32_t>(from.BlockAlign(), 1);
        // Sample-by-sample codings take large chunks; block codecs one block at a time.
        bool pcmLike = id >= AV_CODEC_ID_PCM_S16LE && id < AV_CODEC_ID_ADPCM_IMA_QT;
        chunk_ = pcmLike ? std::max<uint32_t>(65536 / blockAlign_, 1) * blockAlign_ : blockAlign_;
        // A header without a byte rate is read as one byte per frame, as the reader estimates it.
        avgBytes_ = from.AvgBytesPerSec() ? from.AvgBytesPerSec() : from.SamplesPerSec();
        rate_ = from.SamplesPerSec();
        if (codec->id == AV_CODEC_ID_MP3)
            parser_ = av_parser_init(codec->id);
        packet_ = av_packet_alloc();
        frame_ = av_frame_alloc();
        return packet_ && frame_;
    }

    ~AvDecodeStream() override
    {
        av_parser_close(parser_);
        av_packet_free(&packet_);
        av_frame_free(&frame_);
    }

    uint32_t SourceSizeFor(uint32_t destinationBytes) override
    {
        // Compressed bytes for that much 16-bit output, by the average rate, in whole blocks.
        uint64_t perSecond = uint64_t(rate_) * uint64_t(channels_) * 2;
        uint64_t bytes = (uint64_t(destinationBytes) * avgBytes_ + perSecond - 1) / perSecond;
        // A header that understates its byte rate must still let whole frames through.
        bytes = std::max<uint64_t>({bytes, blockAlign_, kMinSourceBytes});
        bytes = (bytes + blockAlign_ - 1) / blockAlign_ * blockAlign_;
        return uint32_t(std::min<uint64_t>(bytes, 1u << 24));
    }

    uint32_t DestinationSizeFor(uint32_t sourceBytes) override
    {
        uint64_t perSecond = uint64_t(rate_) * uint64_t(channels_) * 2;
        return uint32_t(std::min<uint64_t>(uint64_t(sourceBytes) * perSecond / avgBytes_ + 65536, 1u << 26));
    }

    bool Convert(LAcmStreamHeader& h, uint32_t flags) override
    {
        h.sourceUsed = 0;
        h.destinationUsed = 0;
        if (flags & kAcmConvertStart) {
            avcodec_flush_buffers(c_.ctx);
            pending_.clear();
            flushed_ = false;
            if (parser_) {
                av_parser_close(parser_);
                parser_ = av_parser_init(c_.ctx->codec_id);
            }
        }
        Deliver(h);
        const uint8_t* source = input_.Hold(h.source, h.sourceLength);
        bool ok = true;
        while (h.sourceUsed < h.sourceLength && pending_.empty()) {
            uint32_t left = h.sourceLength - h.sourceUsed;
            const uint8_t* data = source + h.sourceUsed;
            if (parser_) {
                uint8_t* out = nullptr;
                int outSize = 0;
                int used = av_parser_parse2(parser_, c_.ctx, &out, &outSize, data, int(left), AV_NOPTS_VALUE,
                                            AV_NOPTS_VALUE, 0);
                if (used < 0)
                    return false;
                h.sourceUsed += uint32_t(used);
                if (outSize > 0)
                    ok = Decode(out, outSize) && ok;
                else if (used == 0)
                    break;
            } else {
                uint32_t take = std::min(left, chunk_) / blockAlign_ * blockAlign_;
                if (take == 0) {
                    if (!(flags & kAcmConvertEnd))
                        break;  // a partial block waits for more input
                    take = left;
                }
                ok = Decode(data, int(take)) && ok;
                h.sourceUsed += take;
            }
            Deliver(h);
        }
        if ((flags & kAcmConvertEnd) && pending_.empty() && h.sourceUsed == h.sourceLength && !flushed_) {
            flushed_ = true;
            if (parser_) {
                uint8_t* out = nullptr;
                int outSize = 0;
                av_parser_parse2(parser_, c_.ctx, &out, &outSize, nullptr, 0, AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
                if (outSize > 0)
                    Decode(out, outSize);
            }
            Decode(nullptr, 0);  // drains what the decoder holds back
        }
        Deliver(h);
        return ok || h.destinationUsed > 0;
    }

private:
    bool Decode(const uint8_t* data, int size)
    {
        int r;
        if (data) {
            packet_->data = const_cast<uint8_t*>(data);
            packet_->size = size;
            r = avcodec_send_packet(c_.ctx, packet_);
            av_packet_unref(packet_);
        } else {
            r = avcodec_send_packet(c_.ctx, nullptr);
        }
        if (r < 0 && r != AVERROR(EAGAIN))
            return false;
        while (avcodec_receive_frame(c_.ctx, frame_) == 0) {
            int srcChannels = frame_->ch_layout.nb_channels;
            for (int i = 0; i < frame_->nb_samples; ++i)
                for (int ch = 0; ch < channels_; ++ch) {
                    int16_t v = SampleAt(frame_, std::min(ch, srcChannels - 1), i);
                    pending_.push_back(uint8_t(uint16_t(v)));
                    pending_.push_back(uint8_t(uint16_t(v) >> 8));
                }
            av_frame_unref(frame_);
        }
        return true;
    }

    void Deliver(LAcmStreamHeader& h) { DeliverPending(pending_, h); }

    static constexpr uint64_t kMinSourceBytes = 4096;

    CodecContext c_;
    PaddedInput input_;
    AVCodecParserContext* parser_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    std::deque<uint8_t> pending_;
    int channels_ = 1;
    uint32_t blockAlign_ = 1;
    uint32_t chunk_ = 1;
    uint32_t avgBytes_ = 1;
    uint32_t rate_ = 1;
    bool flushed_ = false;
};

// Encodes 16-bit PCM into a WAV codec.
class AvEncodeStream : public LAcmStream {
public:
    bool Open(const LWaveFileFormat& to)
    {
        AVCodecID id = CodecOf(to);
        const AVCodec* codec = id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_encoder(id);
        if (!codec || to.Channels() == 0 || to.Channels() > 2 || to.SamplesPerSec() == 0)
            return false;
        c_.ctx = avcodec_alloc_context3(codec);
        AVCodecContext* ctx = c_.ctx;
        if (!ctx)
            return false;
        ctx->sample_rate = int(to.SamplesPerSec());
        av_channel_layout_default(&ctx->ch_layout, to.Channels());
        ctx->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
        ctx->bit_rate = int64_t(to.AvgBytesPerSec()) * 8;
        AVDictionary* options = nullptr;
        const bool adpcm = id == AV_CODEC_ID_ADPCM_IMA_WAV || id == AV_CODEC_ID_ADPCM_MS;
        if (adpcm && to.BlockAlign() > 0)
            av_dict_set_int(&options, "block_size", to.BlockAlign(), 0);
        int r = avcodec_open2(ctx, codec, &options);
        av_dict_free(&options);
        if (r < 0)
            return false;
        // The file's header carries the block alignment: a codec that would write
        // other blocks is refused rather than producing a file that decodes wrongly.
        if (to.BlockAlign() > 0 && ctx->block_align > 0 && ctx->block_align != to.BlockAlign())
            return false;
        channels_ = to.Channels();
        frameSize_ = ctx->frame_size > 0 ? ctx->frame_size : 1024;
        fixedFrame_ = ctx->frame_size > 0 && !(codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
        packet_ = av_packet_alloc();
        frame_ = av_frame_alloc();
        return packet_ && frame_;
    }

    ~AvEncodeStream() override
    {
        av_packet_free(&packet_);
        av_frame_free(&frame_);
    }

    AVCodecContext* Context() { return c_.ctx; }

    uint32_t SourceSizeFor(uint32_t destinationBytes) override { return destinationBytes; }
    uint32_t DestinationSizeFor(uint32_t sourceBytes) override
    {
        // Compressed output is never larger than a 32-bit PCM copy plus a few frames.
        return uint32_t(std::min<uint64_t>(uint64_t(sourceBytes) * 2 + 65536, 1u << 26));
    }

    bool Convert(LAcmStreamHeader& h, uint32_t flags) override
    {
        h.sourceUsed = 0;
        h.destinationUsed = 0;
        if (flags & kAcmConvertStart)
            pending_.clear();
        Deliver(h);
        const uint32_t frameBytes = uint32_t(channels_) * 2;
        bool ok = true;
        while (pending_.empty()) {
            uint32_t leftFrames = (h.sourceLength - h.sourceUsed) / frameBytes;
            int n = frameSize_;
            if (int(leftFrames) < n) {
                if (!(flags & kAcmConvertEnd) || leftFrames == 0)
                    break;
                n = int(leftFrames);
            }
            ok = Encode(h.source + h.sourceUsed, n) && ok;
            h.sourceUsed += uint32_t(n) * frameBytes;
            Deliver(h);
        }
        if ((flags & kAcmConvertEnd) && h.sourceUsed + frameBytes > h.sourceLength && !flushed_) {
            flushed_ = true;
            avcodec_send_frame(c_.ctx, nullptr);
            Drain();
        }
        Deliver(h);
        return ok;
    }

private:
    bool Encode(const uint8_t* pcm, int samples)
    {
        frame_->format = c_.ctx->sample_fmt;
        av_channel_layout_copy(&frame_->ch_layout, &c_.ctx->ch_layout);
        // A fixed-size encoder gets its last, short frame padded with silence.
        frame_->nb_samples = fixedFrame_ ? frameSize_ : samples;
        frame_->pts = pts_;
        pts_ += samples;
        if (av_frame_get_buffer(frame_, 0) < 0)
            return false;
        for (int i = 0; i < frame_->nb_samples; ++i)
            for (int ch = 0; ch < channels_; ++ch) {
                int16_t v = 0;
                if (i < samples) {
                    const uint8_t* p = pcm + (size_t(i) * size_t(channels_) + size_t(ch)) * 2;
                    v = int16_t(uint16_t(p[0] | (p[1] << 8)));
                }
                PutSample(frame_, ch, i, v);
            }
        int r = avcodec_send_frame(c_.ctx, frame_);
        av_frame_unref(frame_);
        if (r < 0)
            return false;
        Drain();
        return true;
    }

    void Drain()
    {
        while (avcodec_receive_packet(c_.ctx, packet_) == 0) {
            pending_.insert(pending_.end(), packet_->data, packet_->data + packet_->size);
            av_packet_unref(packet_);
        }
    }

    void Deliver(LAcmStreamHeader& h) { DeliverPending(pending_, h); }

    CodecContext c_;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    std::deque<uint8_t> pending_;
    int channels_ = 1;
    int frameSize_ = 1024;
    bool fixedFrame_ = false;
    int64_t pts_ = 0;
    bool flushed_ = false;
};

bool SamePcmSide(const LWaveFileFormat& pcm, const LWaveFileFormat& other)
{
    return pcm.IsPcm16() && pcm.SamplesPerSec() == other.SamplesPerSec() && pcm.Channels() == other.Channels();
}

} // namespace

std::unique_ptr<LAcmStream> AvOpenAcmStream(const LWaveFileFormat& from, const LWaveFileFormat& to)
{
    av_log_set_level(AV_LOG_QUIET);
    if (SamePcmSide(to, from)) {
        auto s = std::make_unique<AvDecodeStream>();
        if (s->Open(from))
            return s;
    } else if (SamePcmSide(from, to)) {
        auto s = std::make_unique<AvEncodeStream>();
        if (s->Open(to))
            return s;
    }
    return nullptr;
}


