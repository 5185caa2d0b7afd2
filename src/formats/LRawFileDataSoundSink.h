#pragma once
#include <string>
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSink.h"
#include "formats/LRawCodec.h"

// Writer of interleaved sample data in one of the byte codecs, behind an optional
// header: the data layer of raw, AU and AIFF files. A header writer is called
// when the file is created and again by Finish() (or the destructor), which is
// when the file becomes complete.
class LRawFileDataSoundSinkBase : public LSoundSinkBase {
public:
    // Writes the header at the file's current position (offset 0) for the frames
    // written so far; `final` is false at creation and true when finishing.
    // Returns the header size in bytes, or -1 when it could not be written.
    using HeaderWriter = int32_t (*)(LRawFileDataSoundSinkBase& sink, bool final);

    // Creates (or replaces) `path`. `maxDataBytes` is the most sample data the
    // header can describe; writes beyond it are refused with the error bit rather
    // than leaving a header that wraps around. Failure to create sets the error bit.
    LRawFileDataSoundSinkBase(const std::string& path, int32_t rate, uint8_t channels, int32_t bytesPerSample,
                              HeaderWriter header, uint64_t maxDataBytes);
    ~LRawFileDataSoundSinkBase() override;
    void Write(const int32_t* buffer, int32_t frames) override;
    // Writes the final header and closes the file.
    bool Finish() override;
    // Cuts the file back to `frame` (below 0 counts as 0); a frame beyond what was
    // written does nothing.
    void Seek(int32_t frame) override;

    // For header writers.
    LFile& File() { return file_; }
    int32_t BytesPerFrame() const { return bytesPerFrame_; }
    // Bytes of sample data for the frames written so far.
    uint64_t DataBytes() const { return uint64_t(position_) * uint64_t(bytesPerFrame_); }

    // The header writer of plain raw files: writes nothing.
    static int32_t NoHeader(LRawFileDataSoundSinkBase&, bool) { return 0; }

protected:
    virtual void Convert(uint8_t* dst, const int32_t* src, int32_t count) = 0;

private:
    LFile file_;
    HeaderWriter header_;
    int32_t headerSize_ = 0;
    int32_t bytesPerFrame_;
    uint64_t maxFrames_;
    std::vector<uint8_t> buffer_;
};

// The writer for one codec; Codec is one of the conversion structs of LRawCodec.h.
template <class Codec>
class LRawFileDataSoundSink final : public LRawFileDataSoundSinkBase {
public:
    LRawFileDataSoundSink(const std::string& path, int32_t rate, uint8_t channels, HeaderWriter header,
                          uint64_t maxDataBytes)
        : LRawFileDataSoundSinkBase(path, rate, channels, Codec::kBytesPerSample, header, maxDataBytes)
    {
    }

protected:
    void Convert(uint8_t* dst, const int32_t* src, int32_t count) override { Codec::Encode(dst, src, count); }
};

// The writer for byte codec `codec` (kRawCodecMuLaw..kRawCodecPcm16BE); an empty
// handle for any other codec.
LSoundSink MakeRawDataSink(uint8_t codec, const std::string& path, int32_t rate, uint8_t channels,
                           LRawFileDataSoundSinkBase::HeaderWriter header, uint64_t maxDataBytes);
