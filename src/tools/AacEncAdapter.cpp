// kelvane-aacenc: the "aacenc" encoder component. It takes the editor's AAC
// command line,
//
//   kelvane-aacenc -C CHANNELS (-b KBPS | -q QUALITY) -R RATE [--mpeg-vers 2]
//                  [--no-tns] -X - -o OUT
//
// reads raw signed 16-bit little-endian PCM from standard input until its end and
// encodes it with libavcodec's AAC encoder: OUT ending in ".aac" gets an ADTS
// stream, ".m4a" (or ".mp4") an MP4 file. "-b" is the average bit rate of all
// channels; "-q" a quality where 100 is the encoder's usual balance and larger is
// better. A rate the encoder cannot take is resampled to the nearest one it can.
// Exit status: 0 done, 1 the encoding failed, 2 a malformed command line.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <unistd.h>
#include <vector>

namespace {

enum class Container { Adts, M4a, Mp4 };

struct Options {
    int channels = 0;
    int bitRate = 0;  // kbit/s; 0 for quality mode
    int quality = 0;  // 0 when a bit rate is given
    int rate = 0;     // Hz of the input
    bool mpeg2 = false;
    bool noTns = false;
    bool stdinInput = false;
    std::string output;
    Container container = Container::Adts;
};

bool ParseInt(const char* text, int lo, int hi, int& value)
{
    if (!text || !*text)
        return false;
    int v = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || v > 10000000)
            return false;
        v = v * 10 + (*p - '0');
    }
    if (v < lo || v > hi)
        return false;
    value = v;
    return true;
}

bool EndsWith(const std::string& name, const char* ext)
{
    const size_t n = std::strlen(ext);
    return name.size() > n && strcasecmp(name.c_str() + name.size() - n, ext) == 0;
}

bool Parse(int argc, char** argv, Options& o, std::string& error)
{
    int version = 4;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "-C") {
            if (!ParseInt(next, 1, 2, o.channels))
                return error = "-C needs 1 or 2 channels", false;
            ++i;
        } else if (a == "-b") {
            if (!ParseInt(next, 8, 576, o.bitRate))
                return error = "-b needs a bit rate of 8 to 576 kbit/s", false;
            ++i;
        } else if (a == "-q") {
            if (!ParseInt(next, 1, 1000, o.quality))
                return error = "-q needs a quality of 1 to 1000", false;
            ++i;
        } else if (a == "-R") {
            if (!ParseInt(next, 1000, 192000, o.rate))
                return error = "-R needs a sample rate of 1000 to 192000 Hz", false;
            ++i;
        } else if (a == "--mpeg-vers") {
            if (!ParseInt(next, 2, 4, version) || version == 3)
                return error = "--mpeg-vers needs 2 or 4", false;
            o.mpeg2 = version == 2;
            ++i;
        } else if (a == "-o") {
            if (!next || !*next)
                return error = "-o needs a file name", false;
            o.output = next;
            ++i;
        } else if (a == "--no-tns") {
            o.noTns = true;
        } else if (a == "-X") {
            // Raw little-endian input is the only input we read.
        } else if (a == "-") {
            o.stdinInput = true;
        } else {
            return error = "unexpected argument \"" + a + "\"", false;
        }
    }
    if (o.channels == 0 || o.rate == 0 || !o.stdinInput || o.output.empty())
        return error = "-C, -R, - and -o are required", false;
    if (o.bitRate && o.quality)
        return error = "-b and -q exclude each other", false;
    if (!o.bitRate && !o.quality)
        o.quality = 100;
    if (EndsWith(o.output, ".aac"))
        o.container = Container::Adts;
    else if (EndsWith(o.output, ".m4a"))
        o.container = Container::M4a;
    else if (EndsWith(o.output, ".mp4"))
        o.container = Container::Mp4;
    else
        return error = "the output name must end in .aac, .m4a or .mp4", false;
    return true;
}

// Everything libav* hands out, released on every way out.
struct Encoder {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* resampler = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    AVStream* stream = nullptr;
    AVChannelLayout inLayout{};
    int64_t pts = 0;

    Encoder() = default;
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
    ~Encoder()
    {
        if (format) {
            if (format->pb)
                avio_closep(&format->pb);
            avformat_free_context(format);
        }
        avcodec_free_context(&codec);
        swr_free(&resampler);
        if (fifo)
            av_audio_fifo_free(fifo);
        av_frame_free(&frame);
        av_packet_free(&packet);
        av_channel_layout_uninit(&inLayout);
    }
};

bool Fail(const char* what, int code = 0)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = "";
    if (code < 0)
        av_strerror(code, text, sizeof text);
    std::fprintf(stderr, "kelvane-aacenc: %s%s%s\n", what, code < 0 ? ": " : "", text);
    return false;
}

// The encoder's rate closest to `rate`.
int NearestRate(const AVCodec* codec, int rate)
{
    if (!codec->supported_samplerates)
        return rate;
    int best = 0;
    for (const int* r = codec->supported_samplerates; *r; ++r)
        if (best == 0 || std::abs(*r - rate) < std::abs(best - rate))
            best = *r;
    return best;
}

// Sends what the encoder has finished to the muxer.
bool DrainPackets(Encoder& e)
{
    for (;;) {
        int rc = avcodec_receive_packet(e.codec, e.packet);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return true;
        if (rc < 0)
            return Fail("encoding failed", rc);
        av_packet_rescale_ts(e.packet, e.codec->time_base, e.stream->time_base);
        e.packet->stream_index = e.stream->index;
        rc = av_interleaved_write_frame(e.format, e.packet);
        if (rc < 0)
            return Fail("cannot write the output file", rc);
    }
}

// Encodes one frame of `frames` samples from the FIFO (fewer than a full frame
// only at the end).
bool EncodeFromFifo(Encoder& e, int frames)
{
    av_frame_unref(e.frame);
    e.frame->format = e.codec->sample_fmt;
    e.frame->sample_rate = e.codec->sample_rate;
    e.frame->nb_samples = frames;
    int rc = av_channel_layout_copy(&e.frame->ch_layout, &e.codec->ch_layout);
    if (rc >= 0)
        rc = av_frame_get_buffer(e.frame, 0);
    if (rc < 0)
        return Fail("out of memory", rc);
    void* planes[AV_NUM_DATA_POINTERS];
    for (int c = 0; c < AV_NUM_DATA_POINTERS; ++c)
        planes[c] = e.frame->data[c];
    if (av_audio_fifo_read(e.fifo, planes, frames) != frames)
        return Fail("internal buffer error");
    e.frame->pts = e.pts;
    e.pts += frames;
    rc = avcodec_send_frame(e.codec, e.frame);
    if (rc < 0)
        return Fail("encoding failed", rc);
    return DrainPackets(e);
}

// Converts `frames` input frames (nullptr: the resampler's tail) into the FIFO.
bool Convert(Encoder& e, const uint8_t* input, int frames, std::vector<std::vector<float>>& planes)
{
    const int room = swr_get_out_samples(e.resampler, frames);
    if (room < 0)
        return Fail("resampler failed", room);
    std::vector<uint8_t*> out;
    std::vector<void*> fifoIn;
    for (auto& plane : planes) {
        if (plane.size() < size_t(room) + 1)
            plane.resize(size_t(room) + 1);
        out.push_back(reinterpret_cast<uint8_t*>(plane.data()));
        fifoIn.push_back(plane.data());
    }
    const uint8_t* in[1] = {input};
    const int got = swr_convert(e.resampler, out.data(), room + 1, input ? in : nullptr, frames);
    if (got < 0)
        return Fail("resampler failed", got);
    if (got > 0 && av_audio_fifo_write(e.fifo, fifoIn.data(), got) != got)
        return Fail("out of memory");
    return true;
}

bool Setup(const Options& o, Encoder& e)
{
    const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!aac)
        return Fail("this FFmpeg has no AAC encoder");
    const std::string url = "file:" + o.output;  // never another protocol, whatever the name holds
    const char* muxer = o.container == Container::Adts ? "adts" : o.container == Container::M4a ? "ipod" : "mp4";
    int rc = avformat_alloc_output_context2(&e.format, nullptr, muxer, url.c_str());
    if (rc < 0)
        return Fail("cannot set up the container", rc);

    e.codec = avcodec_alloc_context3(aac);
    if (!e.codec)
        return Fail("out of memory");
    e.codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    e.codec->sample_rate = NearestRate(aac, o.rate);
    av_channel_layout_default(&e.codec->ch_layout, o.channels);
    e.codec->time_base = AVRational{1, e.codec->sample_rate};
    if (o.bitRate) {
        e.codec->bit_rate = int64_t(o.bitRate) * 1000;
    } else {
        // libavcodec's rate-distortion weight: its default (about 1.2 lambda units)
        // sits where quality 100 does.
        e.codec->flags |= AV_CODEC_FLAG_QSCALE;
        e.codec->global_quality = o.quality * FF_QP2LAMBDA / 100;
    }
    if (o.mpeg2)
        e.codec->profile = FF_PROFILE_MPEG2_AAC_LOW;
    if (e.format->oformat->flags & AVFMT_GLOBALHEADER)
        e.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* codecOptions = nullptr;
    if (o.noTns)
        av_dict_set(&codecOptions, "aac_tns", "0", 0);
    rc = avcodec_open2(e.codec, aac, &codecOptions);
    av_dict_free(&codecOptions);
    if (rc < 0)
        return Fail("cannot open the AAC encoder", rc);

    e.stream = avformat_new_stream(e.format, nullptr);
    if (!e.stream)
        return Fail("out of memory");
    e.stream->time_base = e.codec->time_base;
    rc = avcodec_parameters_from_context(e.stream->codecpar, e.codec);
    if (rc < 0)
        return Fail("cannot set up the stream", rc);

    av_channel_layout_default(&e.inLayout, o.channels);
    rc = swr_alloc_set_opts2(&e.resampler, &e.codec->ch_layout, e.codec->sample_fmt, e.codec->sample_rate,
                             &e.inLayout, AV_SAMPLE_FMT_S16, o.rate, 0, nullptr);
    if (rc >= 0)
        rc = swr_init(e.resampler);
    if (rc < 0)
        return Fail("cannot set up the sample conversion", rc);
    e.fifo = av_audio_fifo_alloc(e.codec->sample_fmt, o.channels, e.codec->frame_size * 4);
    e.frame = av_frame_alloc();
    e.packet = av_packet_alloc();
    if (!e.fifo || !e.frame || !e.packet)
        return Fail("out of memory");

    rc = avio_open(&e.format->pb, url.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0)
        return Fail(("cannot create \"" + o.output + "\"").c_str(), rc);
    AVDictionary* muxerOptions = nullptr;
    if (o.mpeg2 && o.container == Container::Adts)
        av_dict_set(&muxerOptions, "write_mpeg2", "1", 0);
    rc = avformat_write_header(e.format, &muxerOptions);
    av_dict_free(&muxerOptions);
    if (rc < 0)
        return Fail("cannot write the output file", rc);
    return true;
}

bool Encode(const Options& o)
{
    Encoder e;
    if (!Setup(o, e))
        return false;
    const int frameSize = e.codec->frame_size;
    const int bytesPerFrame = 2 * o.channels;
    std::vector<std::vector<float>> planes(size_t(o.channels));
    std::vector<uint8_t> input(size_t(4096) * size_t(bytesPerFrame));
    size_t held = 0;  // bytes in `input`, less than one frame left over between reads
    for (;;) {
        ssize_t n = ::read(0, input.data() + held, input.size() - held);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Fail("cannot read the input");
        if (n == 0)
            break;
        held += size_t(n);
        const int frames = int(held / size_t(bytesPerFrame));
        if (frames == 0)
            continue;
        if (!Convert(e, input.data(), frames, planes))
            return false;
        const size_t used = size_t(frames) * size_t(bytesPerFrame);
        std::memmove(input.data(), input.data() + used, held - used);
        held -= used;
        while (av_audio_fifo_size(e.fifo) >= frameSize)
            if (!EncodeFromFifo(e, frameSize))
                return false;
    }
    if (!Convert(e, nullptr, 0, planes))
        return false;
    while (av_audio_fifo_size(e.fifo) > 0)
        if (!EncodeFromFifo(e, std::min(frameSize, av_audio_fifo_size(e.fifo))))
            return false;
    int rc = avcodec_send_frame(e.codec, nullptr);
    if (rc < 0)
        return Fail("encoding failed", rc);
    if (!DrainPackets(e))
        return false;
    rc = av_write_trailer(e.format);
    if (rc < 0)
        return Fail("cannot finish the output file", rc);
    rc = avio_closep(&e.format->pb);
    if (rc < 0)
        return Fail("cannot finish the output file", rc);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    std::string error;
    if (!Parse(argc, argv, o, error)) {
        std::fprintf(stderr,
                     "kelvane-aacenc: %s\nusage: kelvane-aacenc -C 1|2 (-b KBPS | -q QUALITY) -R RATE "
                     "[--mpeg-vers 2] [--no-tns] -X - -o OUT.aac|OUT.m4a\n",
                     error.c_str());
        return 2;
    }
    av_log_set_level(AV_LOG_ERROR);
    return Encode(o) ? 0 : 1;
}
