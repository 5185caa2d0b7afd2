// The media decoder over libavformat and libavcodec.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include "core/ByteOrder.h"
#include "core/LProgressDialog.h"
#include "formats/ffmpeg/AvPort.h"

namespace {

// Everything FFmpeg hands out, released in one place.
struct Session {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    ~Session()
    {
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&swr);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

// The 46-byte header of a 16-bit PCM file; sizes 0xFFFFFFFF until the end.
bool WriteHeader(std::FILE* file, int32_t rate, int32_t channels, uint32_t dataBytes, bool final)
{
    uint8_t h[46];
    std::memcpy(h, "RIFF", 4);
    PutLE32(h + 4, final ? dataBytes + 38 : 0xFFFFFFFFu);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    PutLE32(h + 16, 18);
    PutLE16(h + 20, 1);
    PutLE16(h + 22, uint16_t(channels));
    PutLE32(h + 24, uint32_t(rate));
    PutLE32(h + 28, uint32_t(rate * channels * 2));
    PutLE16(h + 32, uint16_t(channels * 2));
    PutLE16(h + 34, 16);
    PutLE16(h + 36, 0);
    std::memcpy(h + 38, "data", 4);
    PutLE32(h + 42, final ? dataBytes : 0xFFFFFFFFu);
    const long back = std::ftell(file);
    const bool ok = std::fseek(file, 0, SEEK_SET) == 0 && std::fwrite(h, 1, 46, file) == 46;
    return ok && (back <= 46 || std::fseek(file, back, SEEK_SET) == 0);
}

} // namespace

int32_t AvDecodeToWav(const std::function<bool(double)>& progress, const std::string& input, const std::string& wavPath)
{
    av_log_set_level(AV_LOG_QUIET);
    Session s;
    // Only ever a file: a name such as "concat:a|b" or "http://..." is not a protocol here.
    const std::string url = "file:" + input;
    if (avformat_open_input(&s.format, url.c_str(), nullptr, nullptr) < 0)
        return kJobFailed;
    if (avformat_find_stream_info(s.format, nullptr) < 0)
        return kJobFailed;
    const AVCodec* decoder = nullptr;
    int stream = av_find_best_stream(s.format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream < 0 || !decoder)
        return kJobFailed;
    AVStream* st = s.format->streams[stream];
    s.codec = avcodec_alloc_context3(decoder);
    if (!s.codec || avcodec_parameters_to_context(s.codec, st->codecpar) < 0 ||
        avcodec_open2(s.codec, decoder, nullptr) < 0)
        return kJobFailed;
    const int rate = s.codec->sample_rate;
    const int inChannels = s.codec->ch_layout.nb_channels;
    if (rate <= 0 || inChannels <= 0)
        return kJobFailed;
    const int channels = std::min(inChannels, 2);
    AVChannelLayout outLayout;
    av_channel_layout_default(&outLayout, channels);
    if (swr_alloc_set_opts2(&s.swr, &outLayout, AV_SAMPLE_FMT_S16, rate, &s.codec->ch_layout,
                            s.codec->sample_fmt, rate, 0, nullptr) < 0 ||
        swr_init(s.swr) < 0)
        return kJobFailed;
    s.packet = av_packet_alloc();
    s.frame = av_frame_alloc();

    // The module has no part of the program's file layer; stdio does it here.
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(wavPath.c_str(), "wb"), std::fclose);
    std::FILE* out = file.get();
    if (!out || !WriteHeader(out, rate, channels, 0, false))
        return kJobFailed;

    const double duration = s.format->duration > 0 ? double(s.format->duration) / AV_TIME_BASE : 0.0;
    uint64_t frames = 0;
    std::vector<int16_t> pcm;
    bool failed = false;
    auto drain = [&]() {
        while (avcodec_receive_frame(s.codec, s.frame) == 0) {
            int room = swr_get_out_samples(s.swr, s.frame->nb_samples);
            pcm.resize(size_t(std::max(room, 0)) * channels);
            uint8_t* dst = reinterpret_cast<uint8_t*>(pcm.data());
            int got = swr_convert(s.swr, &dst, room, const_cast<const uint8_t**>(s.frame->extended_data),
                                  s.frame->nb_samples);
            av_frame_unref(s.frame);
            if (got > 0) {
                int32_t bytes = got * channels * 2;
                if (std::fwrite(pcm.data(), 1, size_t(bytes), out) != size_t(bytes))
                    failed = true;
                frames += uint64_t(got);
            }
        }
    };
    int packets = 0;
    while (av_read_frame(s.format, s.packet) >= 0) {
        if (s.packet->stream_index == stream && avcodec_send_packet(s.codec, s.packet) >= 0)
            drain();
        av_packet_unref(s.packet);
        if (++packets % 64 == 0 && progress(duration > 0 ? std::min(1.0, double(frames) / rate / duration) : -1.0))
            return kJobCancelled;
        if (failed)
            return kJobFailed;
    }
    avcodec_send_packet(s.codec, nullptr);
    drain();
    // What the resampler still holds.
    int room = swr_get_out_samples(s.swr, 0);
    if (room > 0) {
        pcm.resize(size_t(room) * channels);
        uint8_t* dst = reinterpret_cast<uint8_t*>(pcm.data());
        int got = swr_convert(s.swr, &dst, room, nullptr, 0);
        if (got > 0 && std::fwrite(pcm.data(), 1, size_t(got) * channels * 2, out) == size_t(got) * channels * 2)
            frames += uint64_t(got);
    }
    uint64_t bytes = frames * uint64_t(channels) * 2;
    if (failed || bytes > 0xFFFFFFFEu - 38 || !WriteHeader(out, rate, channels, uint32_t(bytes), true) ||
        std::fclose(file.release()) != 0)
        return kJobFailed;
    return frames > 0 ? kJobDone : kJobFailed;
}
