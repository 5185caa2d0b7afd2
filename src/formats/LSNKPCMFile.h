#pragma once
#include <string>
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSink.h"

// Writer of an uncompressed 8- or 16-bit PCM WAV file with the 46-byte header.
// Both size fields hold 0xFFFFFFFF until the sink is destroyed, so an interrupted
// write still opens. An existing file is kept up to the start frame, which lets
// the recorder append to it.
class LSNKPCMFileBase : public LSoundSinkBase {
public:
    static constexpr int32_t kHeaderBytes = 46;

    LSNKPCMFileBase(const std::string& path, int32_t rate, int32_t startFrame, int32_t bytesPerSample, uint8_t channels);
    ~LSNKPCMFileBase() override;
    void Write(const int32_t* buffer, int32_t frames) override;
    // Cuts the file back to `frame`; a frame beyond what was written does nothing.
    void Seek(int32_t frame) override;

protected:
    virtual void Convert(uint8_t* dst, const int32_t* src, int32_t values) = 0;

private:
    bool WriteHeader(bool final);

    LFile file_;
    int32_t bytesPerSample_;
    int32_t bytesPerFrame_;
    uint32_t maxFrames_;
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
