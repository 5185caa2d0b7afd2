#pragma once
#include <string>
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSink.h"
#include "formats/LVoxCodec.h"

// Writer of a headerless VOX (Dialogic ADPCM) file, mono. Samples are packed two
// per byte, high nibble first; a sample left over by one Write waits for the next.
// The format cannot hold an odd number of samples: Finish() completes a
// last half-filled byte by coding the final sample a second time, so nothing
// written is lost and the file ends one sample longer.
class LSNKVOX : public LSoundSinkBase {
public:
    // Creates (or replaces) the file; failure sets the error bit.
    LSNKVOX(const std::string& path, int32_t rate);
    ~LSNKVOX() override;
    void Write(const int32_t* buffer, int32_t frames) override;
    // Writes the last half-filled byte and closes the file.
    bool Finish() override;
    // The stream cannot be rewritten: Seek does nothing.
    void Seek(int32_t) override {}

private:
    LFile file_;
    LVoxCodec codec_;
    bool pending_ = false;  // pendingHigh_ waits for its low nibble
    uint8_t pendingHigh_ = 0;
    int32_t lastSample_ = 0;
    std::vector<uint8_t> bytes_;
};
