#include "formats/LFileDescription.h"

#include <strings.h>
#include <vector>

#include "core/LConsoleUi.h"
#include "core/LSoundTime.h"
#include "formats/LFileCoding.h"
#include "formats/LGenSource.h"
#include "formats/LWaveFile.h"

namespace {

constexpr int32_t kBlockFrames = 8192;

// The length a conversion ends at: the save pump reads blocks until the position
// reaches the length, which a source whose length is an estimate corrects as it
// goes. Reading the same way gives the same number.
int32_t ConvertedLength(LSoundSource& source)
{
    std::vector<int32_t> block(size_t(kBlockFrames) * source->GetChannels());
    do
        source->Read(block.data(), kBlockFrames);
    while (source->GetPosition() < source->GetLength());
    return source->GetLength();
}

// Whether the reader of `path` knows its length only as an estimate before the
// end: WAV data decoded by a codec, whose byte rate may be anything.
bool LengthIsEstimate(const std::string& path)
{
    if (strcasecmp(LGenExtension(path).c_str(), ".wav") != 0)
        return false;
    LWaveFile::Layout layout;
    return LWaveFile::ReadLayout(path, layout) && LWaveFile::NeedsCodec(layout.format);
}

} // namespace

bool LDescribeFile(const std::string& path, std::string& line)
{
    LSoundSource source;
    uint8_t askOnce = 0;
    if (LGenSourceOpen(source, path, &askOnce) != 0 || source->GetError() != kSrcGood) {
        line = LConsoleUi::Escaped(LGenOpenFailureMessage(path, source->GetError()));
        return false;
    }
    const LFileCoding coding = LDescribeFileCoding(path);
    const int32_t channels = source->GetChannels();
    std::string channelText = std::to_string(channels) + (channels == 1 ? " channel" : " channels");
    if (coding.channels > channels)
        channelText = std::to_string(coding.channels) + " channels, mixed down to " + std::to_string(channels);
    const int32_t frames = LengthIsEstimate(path) ? ConvertedLength(source) : source->GetLength();
    LSoundTime length;
    length.SetSamples(frames, source->GetSampleRate());
    line = LConsoleUi::Escaped(path) + ": " + std::to_string(source->GetSampleRate()) + " Hz, " + channelText + ", " +
           length.GetTextCs() + " (" + std::to_string(frames) + " frames), " +
           (coding.coding.empty() ? "unknown coding" : LConsoleUi::Escaped(coding.coding));
    return true;
}
