#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSink.h"
#include "formats/LAcmStream.h"
#include "formats/LWaveFileFormat.h"

// Writer of a compressed WAV file: 16-bit PCM is encoded through the codec port
// into the given format. The header carries the format block verbatim; both
// sizes hold 0xFFFFFFFF until Finish() (or the destructor).
class LSNKACMFile : public LSoundSinkBase {
public:
    LSNKACMFile(const std::string& path, const LWaveFileFormat& format);
    ~LSNKACMFile() override;
    void Write(const int32_t* buffer, int32_t frames) override;
    // Encodes what the codec still holds, writes the final sizes and closes the file.
    bool Finish() override;

private:
    bool WriteHeader(bool final);
    void Convert(uint32_t flags);

    LFile file_;
    LWaveFileFormat format_;
    std::unique_ptr<LAcmStream> stream_;
    std::vector<uint8_t> source_;
    uint32_t sourceFill_ = 0;
    std::vector<uint8_t> destination_;
    uint32_t dataBytes_ = 0;
};
