#pragma once
#include <string>
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSink.h"
#include "formats/LWaveFileFormat.h"

// Writer of an uncompressed PCM WAV file: 8 or 16-bit with the 46-byte header,
// or wider with the format block it is given. Both size fields hold 0xFFFFFFFF
// until Finish() (or the destructor), so an interrupted write still opens. An
// existing file is kept up to the start frame, which lets the recorder append to it.
class LSNKPCMFileBase : public LSoundSinkBase {
public:
    static constexpr int32_t kHeaderBytes = 46;  // with a plain PCM format block

    LSNKPCMFileBase(const std::string& path, int32_t rate, int32_t startFrame, int32_t bytesPerSample, uint8_t channels);
    // Writes `format` as the file's format block.
    LSNKPCMFileBase(const std::string& path, const LWaveFileFormat& format, int32_t startFrame,
                    int32_t bytesPerSample);
    ~LSNKPCMFileBase() override;
    void Write(const int32_t* buffer, int32_t frames) override;
    // Writes the final sizes into the header and closes the file.
    bool Finish() override;
    // Cuts the file back to `frame`; a frame beyond what was written does nothing.
    void Seek(int32_t frame) override;

protected:
    virtual void Convert(uint8_t* dst, const int32_t* src, int32_t values) = 0;

private:
    bool WriteHeader(bool final);

    LFile file_;
    LWaveFileFormat format_;
    int32_t headerBytes_;
    int32_t bytesPerSample_;
    int32_t bytesPerFrame_ = 0;
    uint32_t maxFrames_ = 0;
    std::vector<uint8_t> buffer_;
};

class LSNKPCM8File : public LSNKPCMFileBase {
public:
    LSNKPCM8File(const std::string& path, int32_t rate, int32_t startFrame, uint8_t channels)
        : LSNKPCMFileBase(path, rate, startFrame, 1, channels) {}

protected:
    void Convert(uint8_t* dst, const int32_t* src, int32_t values) override;
};

class LSNKPCM16File : public LSNKPCMFileBase {
public:
    LSNKPCM16File(const std::string& path, int32_t rate, int32_t startFrame, uint8_t channels)
        : LSNKPCMFileBase(path, rate, startFrame, 2, channels) {}

protected:
    void Convert(uint8_t* dst, const int32_t* src, int32_t values) override;
};

// PCM wider than 16 bits from the stream's 20: 24 or 32-bit integers, or 32 or
// 64-bit IEEE floats, as the format block `format` (an extensible or float
// block) says.
class LSNKPCMWideFile : public LSNKPCMFileBase {
public:
    LSNKPCMWideFile(const std::string& path, const LWaveFileFormat& format)
        : LSNKPCMFileBase(path, format, 0, format.BitsPerSample() / 8),
          bytes_(format.BitsPerSample() / 8),
          float_(format.Coding() == LWaveFileFormat::kTagFloat) {}

protected:
    void Convert(uint8_t* dst, const int32_t* src, int32_t values) override;

private:
    int32_t bytes_;
    bool float_;
};
