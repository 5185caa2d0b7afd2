#include "formats/mp3/LMP3Source.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
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
constexpr int32_t kDecoderDelay = 529;
// How far in the first frame may lie, after any ID3v2 tags.
constexpr int64_t kMaxLeadingBytes = 65535;

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
    if (!file.Open(path, LFile::Mode::ReadPlain))
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

bool LMP3Source::FollowedByFrame(const MP3Header& h, int64_t offset, const MP3Header& first)
{
    // One header-like pattern turns up every few kilobytes of any data; one that
    // is followed, exactly where its frame ends, by another of the same stream
    // almost never does. A frame that ends the file needs no successor.
    const int64_t next = offset + h.GetFrameBytes();
    if (next == audioEnd_ || next == reader_.GetFileSize())
        return true;
    const int64_t resume = reader_.Tell();
    reader_.Seek(next);
    uint8_t b[4];
    const bool read = reader_.Read(b, 4) == 4;
    reader_.Seek(resume);
    MP3Header following;
    return read && following.Parse(GetBE32(b)) && following.Matches(first);
}

bool LMP3Source::FindFirstFrame(int64_t searchStart, MP3Header& h, int64_t& headerOffset)
{
    reader_.Seek(searchStart);
    for (;;) {
        if (!h.ReadHeader(reader_))
            return false;
        headerOffset = reader_.Tell() - 4 - (h.noCrc ? 0 : 2);
        if (headerOffset - searchStart > kMaxLeadingBytes)
            return false;
        if (FollowedByFrame(h, headerOffset, h))
            return true;
        reader_.Seek(headerOffset + 1);
    }
}

bool LMP3Source::TagAgreesWithStream() const
{
    // The tag's count is believed only when the frames really there say the same,
    // give or take one (an encoder that counts the information frame itself, or a
    // last frame cut short). A tag left from before the file was cut or joined,
    // or one that is simply wrong, would otherwise cut the audio short or promise
    // hours of it; its delay and padding describe that other stream too.
    const int64_t found = scanFrames_;
    return std::abs(found - int64_t(vbrFrames_)) <= 1;
}

bool LMP3Source::DecodeInitialHeader()
{
    // A frame may end the audio right before an ID3v1 tag.
    audioEnd_ = reader_.GetFileSize();
    uint8_t tag[3];
    reader_.Seek(audioEnd_ - 128);
    if (audioEnd_ >= 128 && reader_.Read(tag, 3) == 3 && std::memcmp(tag, "TAG", 3) == 0)
        audioEnd_ -= 128;
    MP3Header h;
    int64_t headerOffset = 0;
    if (!FindFirstFrame(SkipId3v2(), h, headerOffset))
        return false;
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

    decoder_ = std::make_unique<MP3Layer3Decoder>(first_);
    buffer_.assign(size_t(samplesPerFrame_) * GetChannels(), 0);
    // The frames are counted now, by their headers alone, exactly as decoding will
    // meet them: the length is known before the first read, and is the length a
    // full decode gives.
    scanOffset_ = dataStart_;
    IndexTo(INT32_MAX);
    if (vbrFrames_ > 0 && !TagAgreesWithStream()) {
        vbrFrames_ = 0;
        skip_ = 0;
        padding_ = 0;
        trimmed_ = false;
    }
    length_ = TrimmedLength(int64_t(frameOffsets_.size()) * samplesPerFrame_);
    reader_.Seek(dataStart_);
    if (skip_ > 0)
        Seek(0);
    return true;
}

bool LMP3Source::NextFrame(Frame& frame)
{
    for (int32_t attempt = 0; attempt <= kMaxMismatches; ++attempt) {
        MP3Header& h = frame.header;
        const int64_t expected = reader_.Tell();
        if (!h.ReadHeader(reader_))
            return false;
        frame.offset = reader_.Tell() - 4 - (h.noCrc ? 0 : 2);
        if (frame.offset != expected && !FollowedByFrame(h, frame.offset, h)) {
            // Found by searching through damaged bytes: a chance pattern unless the
            // stream goes on after it.
            reader_.Seek(frame.offset + 1);
            continue;
        }
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
            return true;
        }
    }
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
        ++scanFrames_;
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
        }
        return;
    }
}
