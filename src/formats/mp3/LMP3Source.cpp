#include "formats/mp3/LMP3Source.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "core/ByteOrder.h"
#include "core/LSRCNull.h"

namespace {

constexpr uint32_t kMaxAmplitude = 2097152;
constexpr int32_t kLeadInFrames = 4;
// Lead-in also spans at least this many bytes, so that even tiny frames refill the
// bit reservoir (at most 511 bytes) before the target frame.
constexpr int64_t kLeadInBytes = 2048;
constexpr int32_t kMaxMismatches = 10;
constexpr int32_t kScanFrames = 8;
constexpr int32_t kDecoderDelay = 529;

// Whether the encoder named by the 9-byte version text at `v` fills in the delay
// and padding fields: lame from 3.90 on, and FFmpeg's muxer.
bool WritesGapFields(const uint8_t* v)
{
    if (std::memcmp(v, "Lavf", 4) == 0 || std::memcmp(v, "Lavc", 4) == 0)
        return true;
    if (std::memcmp(v, "LAME", 4) != 0)
        return false;
    if (v[4] != '3' || v[5] != '.')
        return true;
    int32_t minor = 0;
    for (int32_t i = 6; i < 9 && v[i] >= '0' && v[i] <= '9'; ++i)
        minor = minor * 10 + (v[i] - '0');
    return minor >= 90;
}

int32_t ClampFrames(int64_t v) { return int32_t(std::clamp<int64_t>(v, 0, INT32_MAX)); }

} // namespace

LSoundSource LMP3Source::Open(const std::string& path)
{
    LFile file;
    if (!file.Open(path, LFile::Mode::Read))
        return MakeErrorSource(kSrcCannotOpen);
    LSoundSource source = MakeSource<LMP3Source>(std::move(file));
    if (source->GetError() != kSrcGood)
        return MakeErrorSource(source->GetError());
    return source;
}

LMP3Source::LMP3Source(LFile file)
    : LSoundSourceBase(44100, 2, kMaxAmplitude), reader_(std::move(file)), frame_(std::make_unique<Frame>())
{
    if (!reader_.IsOpen()) {
        SetError(kSrcCannotOpen);
        return;
    }
    if (!DecodeInitialHeader())
        SetError(kSrcInvalid);
}

LMP3Source::~LMP3Source() = default;

int64_t LMP3Source::SkipId3v2()
{
    // ID3v2 tags (often with cover art, far larger than the header search reaches)
    // sit in front of the first frame: "ID3", version, flags, 28-bit size.
    int64_t pos = 0;
    for (int32_t tags = 0; tags < 16; ++tags) {
        uint8_t h[10];
        reader_.Seek(pos);
        if (reader_.Read(h, 10) != 10 || std::memcmp(h, "ID3", 3) != 0 || h[3] == 0xFF || h[4] == 0xFF ||
            ((h[6] | h[7] | h[8] | h[9]) & 0x80))
            break;
        int64_t size = (int64_t(h[6]) << 21) | (int64_t(h[7]) << 14) | (int64_t(h[8]) << 7) | int64_t(h[9]);
        pos += 10 + size + ((h[5] & 0x10) ? 10 : 0);
    }
    return pos;
}

bool LMP3Source::ReadInfoFrame(const MP3Header& h, int64_t headerOffset)
{
    // The tag follows the side information counted from the end of the header: in a
    // CRC-protected frame the CRC takes the first two of those bytes.
    const int32_t sideBytes = h.GetSideInfoBytes();
    const int32_t crcBytes = h.noCrc ? 0 : 2;
    uint8_t buf[32 + 4];
    reader_.Seek(headerOffset + 4);
    if (reader_.Read(buf, sideBytes + 4) != sideBytes + 4)
        return false;
    for (int32_t i = crcBytes; i < sideBytes; ++i)
        if (buf[i] != 0)
            return false;
    const uint8_t* tag = buf + sideBytes;
    // "Info" is the same frame as "Xing", written by encoders for constant bit rates.
    const bool xing = std::memcmp(tag, "Xing", 4) == 0 || std::memcmp(tag, "Info", 4) == 0;
    const bool vbri = std::memcmp(tag, "VBRI", 4) == 0;
    if (!xing && !vbri)
        return false;
    uint8_t field[14];
    if (xing) {
        if (reader_.Read(field, 8) != 8 || !(GetBE32(field) & 1))
            return false;
        vbrFrames_ = ClampFrames(GetBE32(field + 4));
        ReadEncoderTag(h, headerOffset, GetBE32(field));
    } else {
        if (reader_.Read(field, 14) != 14)
            return false;
        vbrFrames_ = ClampFrames(GetBE32(field + 10));
    }
    dataStart_ = headerOffset + h.GetFrameBytes();
    return true;
}

void LMP3Source::ReadEncoderTag(const MP3Header& h, int64_t headerOffset, uint32_t flags)
{
    // The encoder's extension follows the tag's name, its flags and the fields they
    // announce (frame count, which an information frame has, byte count, seek table,
    // quality): a 9-byte version text, then at byte 21 the encoder delay and the
    // padding in 12 bits each.
    int64_t at = headerOffset + 4 + h.GetSideInfoBytes() + 4 + 4 + 4;
    at += ((flags & 2) ? 4 : 0) + ((flags & 4) ? 100 : 0) + ((flags & 8) ? 4 : 0);
    uint8_t tag[24];
    if (at + int64_t(sizeof tag) > headerOffset + h.GetFrameBytes())
        return;
    reader_.Seek(at);
    if (reader_.Read(tag, sizeof tag) != int32_t(sizeof tag))
        return;
    if (!WritesGapFields(tag))
        return;
    const int32_t delay = (int32_t(tag[21]) << 4) | (tag[22] >> 4);
    const int32_t padding = ((int32_t(tag[22]) & 0x0F) << 8) | tag[23];
    // The encoder's delay and padding count from the signal it was given; a decoder
    // adds 529 frames of its own (the filter bank's overlap and the synthesis window),
    // so the signal starts delay + 529 frames in and ends padding - 529 frames early.
    skip_ = delay + kDecoderDelay;
    trimmed_ = true;
    padding_ = padding;
}

int32_t LMP3Source::TrimmedLength(int64_t streamFrames) const
{
    int64_t end = streamFrames;
    if (trimmed_ && vbrFrames_ > 0)
        end = std::min(end, int64_t(vbrFrames_) * samplesPerFrame_ - padding_ + kDecoderDelay);
    return ClampFrames(end - skip_);
}

bool LMP3Source::DecodeInitialHeader()
{
    // The estimates leave out an ID3v1 tag only when there is one: counting 128
    // bytes too few loses the last frames of files whose frames are smaller.
    audioEnd_ = reader_.GetFileSize();
    uint8_t tag[3];
    reader_.Seek(audioEnd_ - 128);
    if (audioEnd_ >= 128 && reader_.Read(tag, 3) == 3 && std::memcmp(tag, "TAG", 3) == 0)
        audioEnd_ -= 128;
    reader_.Seek(SkipId3v2());
    MP3Header h;
    if (!h.ReadHeader(reader_))
        return false;
    const int64_t headerOffset = reader_.Tell() - 4 - (h.noCrc ? 0 : 2);
    first_ = h;
    SetSampleRate(h.GetSampleRate());
    SetChannels(h.GetChannels());
    samplesPerFrame_ = h.GetSamplesPerFrame();
    dataStart_ = headerOffset;
    if (!ReadInfoFrame(h, headerOffset)) {
        vbrFrames_ = 0;
        dataStart_ = headerOffset;
        skip_ = 0;
        trimmed_ = false;
    }

    const int64_t audioBytes = std::max<int64_t>(audioEnd_ - dataStart_, 0);
    if (vbrFrames_ > 0) {
        bytesPerFrame_ = double(audioBytes) / vbrFrames_;
        length_ = TrimmedLength(int64_t(vbrFrames_) * samplesPerFrame_);
    } else {
        // Average bit rate of the first frames.
        int64_t sum = 0;
        int32_t count = 0;
        reader_.Seek(dataStart_);
        for (; count < kScanFrames; ++count) {
            MP3Header next;
            if (!next.ReadHeader(reader_) || !next.Matches(first_))
                break;
            sum += next.bitRate;
            reader_.Seek(reader_.Tell() - 4 - (next.noCrc ? 0 : 2) + next.GetFrameBytes());
        }
        const double average = count > 0 ? double(sum) / count : double(h.bitRate);
        bytesPerFrame_ = (h.version == 0 ? 144.0 : 72.0) * average / h.GetSampleRate();
        length_ = ClampFrames(int64_t(samplesPerFrame_) * int64_t(double(audioBytes) / bytesPerFrame_ + 0.9));
    }

    decoder_ = std::make_unique<MP3Layer3Decoder>(first_);
    buffer_.assign(size_t(samplesPerFrame_) * GetChannels(), 0);
    reader_.Seek(dataStart_);
    scanOffset_ = dataStart_;
    if (skip_ > 0)
        Seek(0);
    return true;
}

int64_t LMP3Source::BytesLeft() const { return audioEnd_ - reader_.Tell(); }

bool LMP3Source::NextFrame(Frame& frame)
{
    for (int32_t attempt = 0; attempt <= kMaxMismatches; ++attempt) {
        MP3Header& h = frame.header;
        if (!h.ReadHeader(reader_))
            return false;
        frame.offset = reader_.Tell() - 4 - (h.noCrc ? 0 : 2);
        if (!h.Matches(first_)) {
            // A frame of another stream (another rate, version or channel count).
            reader_.Seek(frame.offset + std::max(h.GetFrameBytes(), 4));
            continue;
        }
        const int32_t sideBytes = h.GetSideInfoBytes();
        frame.mainBytes = std::clamp(h.GetMainDataBytes(), 0, int32_t(sizeof frame.main));
        // A frame cut short by the end of the file is not decoded.
        return reader_.Read(frame.side, sideBytes) == sideBytes &&
               reader_.Read(frame.main, frame.mainBytes) == frame.mainBytes;
    }
    return false;
}

bool LMP3Source::DecodeNext(int32_t* out)
{
    for (;;) {
        if (!NextFrame(*frame_))
            return false;
        const Frame& f = *frame_;
        if (decoder_->DecodeFrame(f.header, f.side, f.main, f.mainBytes, out)) {
            ++nextFrame_;
            Reestimate();
            return true;
        }
    }
}

void LMP3Source::Reestimate()
{
    if (vbrFrames_ > 0 || bytesPerFrame_ <= 0.0)
        return;
    int64_t framesLeft = int64_t(double(BytesLeft()) / bytesPerFrame_ + 0.9);
    // While bytes remain, at least one more frame may follow: a length that stopped
    // short here would end the stream early, while one too long is corrected when
    // the next frame fails.
    if (framesLeft < 1 && BytesLeft() > 0)
        framesLeft = 1;
    length_ = ClampFrames(framesLeft * samplesPerFrame_ + int64_t(nextFrame_) * samplesPerFrame_);
}

void LMP3Source::Read(int32_t* buffer, int32_t frames)
{
    if (frames <= 0)
        return;
    const int32_t ch = GetChannels();
    const int64_t start = position_;
    position_ = int32_t(std::min<int64_t>(start + frames, INT32_MAX));
    if (start > length_ || !decoder_) {
        std::fill_n(buffer, size_t(frames) * ch, 0);
        return;
    }
    ReadStream(buffer, frames, start);
    // With the encoder's padding known, what follows the signal is not delivered.
    if (trimmed_) {
        const int32_t valid = int32_t(std::clamp<int64_t>(int64_t(length_) - start, 0, frames));
        std::fill_n(buffer + size_t(valid) * size_t(ch), size_t(frames - valid) * size_t(ch), 0);
    }
}

void LMP3Source::ReadStream(int32_t* buffer, int32_t frames, int64_t start)
{
    const int32_t ch = GetChannels();
    if (frames <= 0)
        return;
    const int32_t lead = int32_t(std::clamp<int64_t>(-start, 0, frames));
    std::fill_n(buffer, size_t(lead) * ch, 0);
    int32_t* out = buffer + size_t(lead) * ch;
    int32_t left = frames - lead;
    while (left > 0) {
        if (bufferNext_ < bufferCount_) {
            const int32_t n = std::min(left, bufferCount_ - bufferNext_);
            std::memcpy(out, buffer_.data() + size_t(bufferNext_) * ch, size_t(n) * ch * sizeof(int32_t));
            bufferNext_ += n;
            out += size_t(n) * ch;
            left -= n;
            continue;
        }
        if (!ended_) {
            int32_t* target = left >= samplesPerFrame_ ? out : buffer_.data();
            if (DecodeNext(target)) {
                if (target == out) {
                    out += size_t(samplesPerFrame_) * ch;
                    left -= samplesPerFrame_;
                } else {
                    bufferNext_ = 0;
                    bufferCount_ = samplesPerFrame_;
                }
                continue;
            }
            // The stream ends at the first frame that cannot be found or decoded.
            ended_ = true;
            length_ = TrimmedLength(int64_t(nextFrame_) * samplesPerFrame_);
        }
        std::fill_n(out, size_t(left) * ch, 0);
        break;
    }
}

bool LMP3Source::IndexTo(int32_t frameNumber)
{
    // Walks the headers from where the last scan stopped, keeping the offsets of the
    // frames a straight decode turns into samples: a frame whose reservoir is
    // incomplete gives none, so the reservoir's fill is followed here too.
    while (int64_t(frameOffsets_.size()) <= frameNumber && !scanEnded_) {
        reader_.Seek(scanOffset_);
        Frame& f = *frame_;
        if (!NextFrame(f)) {
            scanEnded_ = true;
            break;
        }
        scanOffset_ = reader_.Tell();
        const int32_t begin = MP3Layer3Decoder::MainDataBegin(f.header, f.side);
        const int32_t mainBytes = std::min(f.mainBytes, 2048 - MP3Layer3Decoder::kMaxReservoirBytes);
        if (begin > scanReservoir_) {
            scanReservoir_ = std::min(scanReservoir_, MP3Layer3Decoder::kMaxReservoirBytes) + mainBytes;
        } else {
            frameOffsets_.push_back(f.offset);
            scanReservoir_ = begin + mainBytes;
        }
    }
    if (scanEnded_)
        length_ = TrimmedLength(int64_t(frameOffsets_.size()) * samplesPerFrame_);
    return int64_t(frameOffsets_.size()) > frameNumber;
}

void LMP3Source::Seek(int32_t frame)
{
    position_ = frame;
    if (!decoder_)
        return;
    // Positions count from the start of the signal, the stream from its first frame.
    const int64_t target = int64_t(std::clamp(frame, 0, length_)) + skip_;
    const int32_t number = int32_t(target / samplesPerFrame_);
    const int32_t offset = int32_t(target % samplesPerFrame_);
    bufferNext_ = bufferCount_ = 0;
    ended_ = false;
    if (!IndexTo(number)) {
        ended_ = true;
        nextFrame_ = int32_t(frameOffsets_.size());
        return;
    }
    int32_t start = std::max(number - kLeadInFrames, 0);
    while (start > 0 && frameOffsets_[size_t(number)] - frameOffsets_[size_t(start)] < kLeadInBytes)
        --start;
    reader_.Seek(frameOffsets_[size_t(start)]);
    decoder_->ResetFilters();
    decoder_->ClearReservoir();
    nextFrame_ = number;
    const int64_t targetOffset = frameOffsets_[size_t(number)];
    for (;;) {
        if (!NextFrame(*frame_)) {
            ended_ = true;
            length_ = TrimmedLength(int64_t(number) * samplesPerFrame_);
            return;
        }
        const Frame& f = *frame_;
        if (f.offset < targetOffset) {
            // Lead-in: decoded to fill the reservoir and the filters, then dropped.
            decoder_->DecodeFrame(f.header, f.side, f.main, f.mainBytes, buffer_.data());
            continue;
        }
        if (f.offset == targetOffset &&
            decoder_->DecodeFrame(f.header, f.side, f.main, f.mainBytes, buffer_.data())) {
            ++nextFrame_;
            bufferNext_ = offset;
            bufferCount_ = samplesPerFrame_;
            Reestimate();
        }
        return;
    }
}
