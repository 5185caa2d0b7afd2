// kelvane-avdec: the decoder components "aacdec", "oggdec" and "flacdec". It takes
// the editor's decoder command lines,
//
//   kelvane-avdec [-d] -o OUT.wav IN
//
// decodes the first audio stream of IN with libavformat and libavcodec and writes
// OUT as a PCM WAV file at the stream's own rate and channel count (more than two
// channels are mixed down to two), 16-bit, or 24-bit for a lossless source of more
// than 16 bits. The rate and channels are those of the decoded audio, not of the
// container's header; the encoder's priming and padding that the container
// declares (an MP4 edit list, Ogg granule positions) are left out as libavformat
// reports them. Damaged packets are skipped; when 64 MiB or 100000 packets in a
// row give no audio (from the start, or since the last audio) the input is taken
// for something else and the run fails.
// IN must be a plain file: FIFOs, sockets and devices are refused (opening a FIFO
// would wait for a writer, and a device such as /dev/urandom never ends). OUT is
// created with mode 0600 and never through a symbolic link.
// Exit status: 0 done; 1 the input could not be decoded or OUT not written (no
// OUT is left behind); 2 a malformed command line.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    std::string input;
    std::string output;
};

bool Parse(int argc, char** argv, Options& o, std::string& error)
{
    bool names = false;  // after "--" every argument is a file name
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (!names && a == "-d") {
            // Decoding is all this program does.
        } else if (!names && a == "-o") {
            if (i + 1 >= argc || !*argv[i + 1])
                return error = "-o needs a file name", false;
            o.output = argv[++i];
        } else if (!names && a == "--") {
            names = true;
        } else if (!names && a.size() > 1 && a[0] == '-') {
            return error = "unexpected option \"" + a + "\"", false;
        } else if (o.input.empty()) {
            o.input = a;
        } else {
            return error = "more than one input file", false;
        }
    }
    if (o.input.empty() || o.output.empty())
        return error = "an input file and -o are required", false;
    return true;
}

void Complain(const char* what, int code = 0)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = "";
    if (code < 0)
        av_strerror(code, text, sizeof text);
    std::fprintf(stderr, "kelvane-avdec: %s%s%s\n", what, code < 0 ? ": " : "", text);
}

void PutLE16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void PutLE32(uint8_t* p, uint32_t v)
{
    PutLE16(p, v & 0xFFFF);
    PutLE16(p + 2, v >> 16);
}

// The WAV writer: a canonical 44-byte header for 16-bit PCM, the extensible
// 68-byte form for 24-bit. Sizes stay 0xFFFFFFFF until Finish.
class WavOut {
public:
    ~WavOut()
    {
        if (file_)
            std::fclose(file_);
        if (!path_.empty() && !finished_)
            ::unlink(path_.c_str());
    }

    bool Open(const std::string& path, int rate, int channels, int bits)
    {
        // Decoded audio is the user's: readable by them alone, and written to the
        // name given, not to wherever a link planted under it points.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return false;
        file_ = ::fdopen(fd, "wb");
        if (!file_) {
            ::close(fd);
            return false;
        }
        path_ = path;
        // Large writes: the decoder should wait on nothing but itself. (Without a
        // buffer of its own, the C library keeps its 4 KiB one whatever size is asked.)
        buffer_.resize(size_t(1) << 20);
        std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
        uint8_t h[68] = {};
        const bool extensible = bits > 16;
        headerBytes_ = extensible ? 68 : 44;
        const uint32_t align = uint32_t(channels * bits / 8);
        std::memcpy(h, "RIFF", 4);
        PutLE32(h + 4, 0xFFFFFFFFu);
        std::memcpy(h + 8, "WAVEfmt ", 8);
        PutLE32(h + 16, extensible ? 40 : 16);
        PutLE16(h + 20, extensible ? 0xFFFE : 1);
        PutLE16(h + 22, uint32_t(channels));
        PutLE32(h + 24, uint32_t(rate));
        PutLE32(h + 28, uint32_t(rate) * align);
        PutLE16(h + 32, align);
        PutLE16(h + 34, uint32_t(bits));
        if (extensible) {
            static const uint8_t kPcmGuid[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
            PutLE16(h + 36, 22);
            PutLE16(h + 38, uint32_t(bits));
            PutLE32(h + 40, channels == 1 ? 0x4 : 0x3);
            std::memcpy(h + 44, kPcmGuid, 16);
        }
        std::memcpy(h + headerBytes_ - 8, "data", 4);
        PutLE32(h + headerBytes_ - 4, 0xFFFFFFFFu);
        return std::fwrite(h, 1, size_t(headerBytes_), file_) == size_t(headerBytes_);
    }

    bool Write(const void* data, size_t bytes)
    {
        dataBytes_ += bytes;
        return std::fwrite(data, 1, bytes, file_) == bytes;
    }

    // Fills in the sizes (left at 0xFFFFFFFF when the data does not fit them) and
    // closes the file; only a finished file is kept.
    bool Finish()
    {
        if (dataBytes_ % 2)
            std::fputc(0, file_);
        const uint64_t riff = dataBytes_ + uint64_t(headerBytes_) - 8 + (dataBytes_ % 2);
        if (riff <= 0xFFFFFFFFu) {
            uint8_t size[4];
            PutLE32(size, uint32_t(riff));
            if (std::fseek(file_, 4, SEEK_SET) != 0 || std::fwrite(size, 1, 4, file_) != 4)
                return false;
            PutLE32(size, uint32_t(dataBytes_));
            if (std::fseek(file_, headerBytes_ - 4, SEEK_SET) != 0 || std::fwrite(size, 1, 4, file_) != 4)
                return false;
        }
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        finished_ = closed;
        return closed;
    }

    uint64_t DataBytes() const { return dataBytes_; }

private:
    std::vector<char> buffer_;  // the file's buffer; outlives it
    FILE* file_ = nullptr;
    std::string path_;
    int headerBytes_ = 44;
    uint64_t dataBytes_ = 0;
    bool finished_ = false;
};

const char kStarved[] = "stopped: the input gives no audio (64 MiB or 100000 packets without any)";

// The input file, read through an I/O context of our own so that the file that
// was checked is the file decoded, and so that the bytes read are counted.
struct Input {
    int fd = -1;
    int64_t bytes = 0;     // read so far
    int64_t baseline = 0;  // `bytes` when audio last came out
    bool starved = false;  // stopped: too much read without audio
    // Far more than any header, cover picture or damaged stretch of a real file.
    static constexpr int64_t kMaxBytesWithoutAudio = int64_t(64) << 20;

    ~Input()
    {
        if (fd >= 0)
            ::close(fd);
    }

    // Opens `path` without waiting (a FIFO with no writer would hold open() for
    // ever) and keeps it only when it is a plain file.
    bool Open(const std::string& path)
    {
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return Complain(("cannot open \"" + path + "\": " + std::strerror(errno)).c_str()), false;
        struct stat st {};
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
            return Complain(("\"" + path + "\" is not a plain file (a FIFO, socket, device or folder)").c_str()), false;
        if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
            return Complain("cannot read the input"), false;
        return true;
    }

    static int Read(void* opaque, uint8_t* buffer, int size)
    {
        Input* in = static_cast<Input*>(opaque);
        ssize_t n;
        do
            n = ::read(in->fd, buffer, size_t(size));
        while (n < 0 && errno == EINTR);
        if (n < 0)
            return AVERROR(errno);
        if (n == 0)
            return AVERROR_EOF;
        in->bytes += n;
        if (in->bytes - in->baseline > kMaxBytesWithoutAudio) {
            in->starved = true;
            return AVERROR_EXIT;
        }
        return int(n);
    }

    static int64_t Seek(void* opaque, int64_t offset, int whence)
    {
        Input* in = static_cast<Input*>(opaque);
        if (whence & AVSEEK_SIZE) {
            struct stat st {};
            return fstat(in->fd, &st) == 0 ? int64_t(st.st_size) : AVERROR(errno);
        }
        const off_t at = ::lseek(in->fd, off_t(offset), whence & ~AVSEEK_FORCE);
        return at < 0 ? AVERROR(errno) : int64_t(at);
    }
};

// Everything libav* hands out, released on every way out.
struct Decoder {
    Input input;
    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;

    // The output format, fixed by the first decoded frame.
    int rate = 0;
    int channels = 0;
    int bits = 16;
    AVChannelLayout outLayout{};
    // The input format the resampler is set up for.
    int inRate = 0;
    int inFormat = -1;
    AVChannelLayout inLayout{};

    // Ogg Vorbis is cut to the stream's duration (see Open): output frames still to
    // drop at the start, and the frames to keep in all (-1: no limit).
    bool trimByDuration = false;
    int64_t skipFrames = 0;
    int64_t limitFrames = -1;
    int64_t writtenFrames = 0;
    int64_t decodedFrames = 0;  // every frame the decoder gave, kept or trimmed

    std::vector<uint8_t> converted;
    std::vector<uint8_t> packed;

    Decoder() = default;
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    ~Decoder()
    {
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&resampler);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        if (io)
            av_freep(&io->buffer);
        avio_context_free(&io);
        av_channel_layout_uninit(&outLayout);
        av_channel_layout_uninit(&inLayout);
    }
};

bool Open(const Options& o, Decoder& d)
{
    if (!d.input.Open(o.input))
        return false;
    constexpr int kIoBufferBytes = 1 << 16;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferBytes));
    if (buffer)
        d.io = avio_alloc_context(buffer, kIoBufferBytes, 0, &d.input, Input::Read, nullptr, Input::Seek);
    if (!d.io) {
        av_free(buffer);
        return Complain("out of memory"), false;
    }
    d.format = avformat_alloc_context();
    if (!d.format)
        return Complain("out of memory"), false;
    d.format->pb = d.io;
    // The name only tells the probe the file's type; no protocol is ever opened by it.
    int rc = avformat_open_input(&d.format, o.input.c_str(), nullptr, nullptr);
    if (rc < 0)
        return Complain(d.input.starved ? kStarved : "cannot read the input as a media file", rc), false;
    rc = avformat_find_stream_info(d.format, nullptr);
    if (rc < 0)
        return Complain(d.input.starved ? kStarved : "cannot read the input's streams", rc), false;
    const AVCodec* codec = nullptr;
    d.stream = av_find_best_stream(d.format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (d.stream < 0 || !codec)
        return Complain("the input holds no audio this FFmpeg can decode"), false;
    AVStream* st = d.format->streams[d.stream];
    for (unsigned i = 0; i < d.format->nb_streams; ++i)
        if (int(i) != d.stream)
            d.format->streams[i]->discard = AVDISCARD_ALL;
    d.codec = avcodec_alloc_context3(codec);
    if (!d.codec)
        return Complain("out of memory"), false;
    rc = avcodec_parameters_to_context(d.codec, st->codecpar);
    if (rc < 0)
        return Complain("cannot set up the decoder", rc), false;
    d.codec->pkt_timebase = st->time_base;
    // The length of an Ogg Vorbis stream is the granule position of its last page,
    // which libavformat reports as the stream's duration. Its own trimming of the
    // end disagrees with it by up to a block in either direction (it sometimes
    // counts the first packet, which decodes to nothing, and sometimes misses the
    // last page's trim), so the decoder hands the trim over and the output is cut
    // to the duration here.
    if (std::strcmp(d.format->iformat->name, "ogg") == 0 && st->codecpar->codec_id == AV_CODEC_ID_VORBIS &&
        st->duration != AV_NOPTS_VALUE && st->duration > 0) {
        d.codec->flags2 |= AV_CODEC_FLAG2_SKIP_MANUAL;
        d.trimByDuration = true;
    }
    rc = avcodec_open2(d.codec, codec, nullptr);
    if (rc < 0)
        return Complain("cannot open the decoder", rc), false;
    // Lossless sources of more than 16 bits keep 24 of them; lossy ones decode to
    // floating point, where 16 bits hold all the coding left.
    const AVSampleFormat packedFormat = av_get_packed_sample_fmt(d.codec->sample_fmt);
    if (st->codecpar->bits_per_raw_sample > 16 && packedFormat == AV_SAMPLE_FMT_S32)
        d.bits = 24;
    d.packet = av_packet_alloc();
    d.frame = av_frame_alloc();
    if (!d.packet || !d.frame)
        return Complain("out of memory"), false;
    return true;
}

// Sets the resampler up for the frame's format, the first time and whenever the
// stream changes it; the output keeps the first frame's rate and channels.
bool SetUpConversion(Decoder& d, const AVFrame* f)
{
    if (d.resampler && f->sample_rate == d.inRate && f->format == d.inFormat &&
        av_channel_layout_compare(&f->ch_layout, &d.inLayout) == 0)
        return true;
    swr_free(&d.resampler);
    av_channel_layout_uninit(&d.inLayout);
    int rc = av_channel_layout_copy(&d.inLayout, &f->ch_layout);
    if (rc >= 0 && d.inLayout.order == AV_CHANNEL_ORDER_UNSPEC) {
        const int n = d.inLayout.nb_channels;
        av_channel_layout_uninit(&d.inLayout);
        av_channel_layout_default(&d.inLayout, n);
    }
    if (rc < 0)
        return Complain("out of memory", rc), false;
    d.inRate = f->sample_rate;
    d.inFormat = f->format;
    const AVSampleFormat out = d.bits == 24 ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16;
    rc = swr_alloc_set_opts2(&d.resampler, &d.outLayout, out, d.rate, &d.inLayout, AVSampleFormat(f->format),
                             f->sample_rate, 0, nullptr);
    if (rc >= 0)
        rc = swr_init(d.resampler);
    if (rc < 0)
        return Complain("cannot set up the sample conversion", rc), false;
    return true;
}

// Converts `f` (nullptr: what the resampler still holds) and appends it to the file.
bool Emit(Decoder& d, WavOut& wav, const AVFrame* f)
{
    const int inFrames = f ? f->nb_samples : 0;
    const int room = swr_get_out_samples(d.resampler, inFrames);
    if (room < 0)
        return Complain("sample conversion failed", room), false;
    if (room == 0)
        return true;
    const size_t bytesPerSample = d.bits == 24 ? 4 : 2;
    d.converted.resize(size_t(room) * size_t(d.channels) * bytesPerSample);
    uint8_t* out[1] = {d.converted.data()};
    const int got = swr_convert(d.resampler, out, room, f ? const_cast<const uint8_t**>(f->extended_data) : nullptr,
                                inFrames);
    if (got < 0)
        return Complain("sample conversion failed", got), false;
    int64_t first = std::min<int64_t>(d.skipFrames, got);
    d.skipFrames -= first;
    int64_t frames = got - first;
    if (d.limitFrames >= 0)
        frames = std::clamp<int64_t>(d.limitFrames - d.writtenFrames, 0, frames);
    d.writtenFrames += frames;
    const uint8_t* from = d.converted.data() + size_t(first) * size_t(d.channels) * bytesPerSample;
    const size_t values = size_t(frames) * size_t(d.channels);
    bool written;
    if (d.bits == 16) {
        written = wav.Write(from, values * 2);
    } else {
        // The top three bytes of each little-endian 32-bit value.
        d.packed.resize(values * 3);
        for (size_t i = 0; i < values; ++i)
            std::memcpy(d.packed.data() + 3 * i, from + 4 * i + 1, 3);
        written = wav.Write(d.packed.data(), values * 3);
    }
    if (!written)
        Complain("cannot write the output file");
    return written;
}

bool Drain(Decoder& d, WavOut& wav, const Options& o)
{
    for (;;) {
        int rc = avcodec_receive_frame(d.codec, d.frame);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return true;
        if (rc < 0)
            return true;  // a damaged frame: go on with the next packet
        if (d.frame->nb_samples <= 0 || d.frame->sample_rate <= 0 || d.frame->ch_layout.nb_channels <= 0) {
            av_frame_unref(d.frame);
            continue;
        }
        d.decodedFrames += d.frame->nb_samples;
        if (d.rate == 0) {
            d.rate = d.frame->sample_rate;
            d.channels = std::min(d.frame->ch_layout.nb_channels, 2);
            av_channel_layout_default(&d.outLayout, d.channels);
            if (!wav.Open(o.output, d.rate, d.channels, d.bits)) {
                av_frame_unref(d.frame);
                return Complain(("cannot create \"" + o.output + "\"").c_str()), false;
            }
            if (d.trimByDuration) {
                const AVStream* st = d.format->streams[d.stream];
                d.limitFrames = av_rescale_q(st->duration, st->time_base, AVRational{1, d.rate});
            }
        }
        if (d.trimByDuration) {
            // What the stream asks to drop at its start still goes.
            const AVFrameSideData* skip = av_frame_get_side_data(d.frame, AV_FRAME_DATA_SKIP_SAMPLES);
            if (skip && skip->size >= 4)
                d.skipFrames += int64_t(skip->data[0]) | int64_t(skip->data[1]) << 8 | int64_t(skip->data[2]) << 16 |
                                int64_t(skip->data[3]) << 24;
        }
        const bool ok = SetUpConversion(d, d.frame) && Emit(d, wav, d.frame);
        av_frame_unref(d.frame);
        if (!ok)
            return false;
    }
}

bool Decode(const Options& o)
{
    Decoder d;
    if (!Open(o, d))
        return false;
    WavOut wav;
    // Input that never gives audio (noise, a file that goes on and on) must end
    // the run rather than keep it reading: count what passes without any.
    constexpr int32_t kMaxPacketsWithoutAudio = 100000;
    int32_t idle = 0;
    for (;;) {
        int rc = av_read_frame(d.format, d.packet);
        if (rc == AVERROR(EAGAIN) && ++idle < kMaxPacketsWithoutAudio)
            continue;
        if (rc < 0 || idle >= kMaxPacketsWithoutAudio)
            break;  // the end, or an unreadable rest of the file
        const int64_t decoded = d.decodedFrames;
        if (d.packet->stream_index == d.stream) {
            rc = avcodec_send_packet(d.codec, d.packet);
            av_packet_unref(d.packet);
            // A packet the decoder refuses is skipped, as ffmpeg does.
            if (rc >= 0 && !Drain(d, wav, o))
                return false;
        } else {
            av_packet_unref(d.packet);
        }
        if (d.decodedFrames > decoded) {
            idle = 0;
            d.input.baseline = d.input.bytes;
        } else {
            ++idle;
        }
    }
    if (d.input.starved || idle >= kMaxPacketsWithoutAudio)
        return Complain(kStarved), false;
    avcodec_send_packet(d.codec, nullptr);
    if (!Drain(d, wav, o))
        return false;
    if (d.rate == 0 || !d.resampler)
        return Complain("no audio could be decoded"), false;
    if (!Emit(d, wav, nullptr))
        return false;
    if (wav.DataBytes() == 0)
        return Complain("no audio could be decoded"), false;
    if (!wav.Finish())
        return Complain("cannot write the output file"), false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    std::string error;
    if (!Parse(argc, argv, o, error)) {
        std::fprintf(stderr, "kelvane-avdec: %s\nusage: kelvane-avdec [-d] -o OUT.wav IN\n", error.c_str());
        return 2;
    }
    av_log_set_level(AV_LOG_QUIET);
    return Decode(o) ? 0 : 1;
}
