#include "app/LKVBatchStream.h"

#include <algorithm>

#include "edit/LCLAConvertRateChannels.h"
#include "edit/LSRCSegmentStream.h"
#include "formats/LGenSource.h"
#include "app/LSettingsTable.h"

namespace {

enum : uint32_t { kAmplify = 3, kConvertRate = 16, kConvertChannels = 17 };

// The document so far: the stream standing in for its last segment.
struct StreamedDocument {
    LSoundSource source;
    LSRCSegmentStream* segment = nullptr;

    void NewSegment(const LSoundSource& upstream)
    {
        auto* made = new LSRCSegmentStream(upstream);
        source = LSoundSource(made);
        segment = made;
    }
    // As LCLAConvertRateChannels does: nothing when the format is already there.
    void Convert(int32_t sampleRate, uint8_t channels)
    {
        if (source->GetSampleRate() != sampleRate || source->GetChannels() != channels)
            NewSegment(LCLAConvertRateChannels::Convert(source, sampleRate, channels, LKVConvertRateQuality()));
    }
};

} // namespace

bool LKVBatchStream::Streams(const std::vector<LKVCommand>& commands)
{
    return std::all_of(commands.begin(), commands.end(), [](const LKVCommand& c) {
        return c.index == kAmplify || c.index == kConvertRate || c.index == kConvertChannels;
    });
}

int32_t LKVBatchStream::Open(const std::string& path, const std::vector<LKVCommand>& commands, int32_t sampleRate,
                             uint8_t channels, LSoundSource& result, int32_t* fileRate)
{
    LSoundSource file;
    uint8_t askOnce = 1;
    if (LGenSourceOpen(file, path, &askOnce) == 2 || file->GetError() != kSrcGood)
        return kJobFailed;
    if (fileRate)
        *fileRate = file->GetSampleRate();
    StreamedDocument document;
    document.NewSegment(file);
    for (const LKVCommand& command : commands) {
        const std::vector<int32_t> v = LKVBatchCatalogue::Values(command);
        if (command.index == kAmplify) {
            document.segment->Amplify(v[0]);
            continue;
        }
        if (!LKVBatchCatalogue::CheckConversion(command.index, v[0]))
            return kJobFailed;
        if (command.index == kConvertRate)
            document.Convert(v[0], document.source->GetChannels());
        else
            document.Convert(document.source->GetSampleRate(), uint8_t(v[0]));
        if (document.source->GetError() != kSrcGood)
            return kJobFailed;
    }
    if (sampleRate || channels)
        document.Convert(sampleRate ? sampleRate : document.source->GetSampleRate(),
                         channels ? channels : document.source->GetChannels());
    if (document.source->GetError() != kSrcGood)
        return kJobFailed;
    result = document.source;
    return kJobDone;
}
