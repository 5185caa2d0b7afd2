#include "formats/LRawFile.h"

#include <cstdint>

#include "core/LSRCNull.h"
#include "formats/LRawFileDataSoundSink.h"
#include "formats/LRawFileDataSoundSource.h"
#include "formats/LSRCMixDown.h"
#include "formats/LVoxFile.h"

LSoundSource LRawFile::OpenSource(const std::string& path, const LRawSettings& settings)
{
    const int32_t rate = int32_t(settings.sampleRate);
    if (settings.codec == kRawCodecVox)
        return LVoxFile::OpenSource(path, rate);
    if (settings.codec >= kRawCodecCount)
        return MakeErrorSource(kSrcInvalid);
    LFile file;
    if (!file.Open(path, LFile::Mode::ReadPlain))
        return MakeErrorSource(kSrcCannotOpen);
    return LSRCMixDown::Wrap(MakeRawDataSource(settings.codec, std::move(file), 0,
                                               LRawFileDataSoundSourceBase::kSizeFromFile, rate, settings.channels));
}

LSoundSink LRawFile::OpenSink(const std::string& path, const LRawSettings& settings)
{
    const int32_t rate = int32_t(settings.sampleRate);
    if (settings.codec == kRawCodecVox)
        return LVoxFile::OpenSink(path, rate);
    return MakeRawDataSink(settings.codec, path, rate, settings.channels, &LRawFileDataSoundSinkBase::NoHeader,
                           UINT64_MAX);
}
