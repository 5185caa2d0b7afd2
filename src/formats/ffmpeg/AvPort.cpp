// The entry point of the FFmpeg module.
#include "formats/LFFmpegPort.h"
#include "formats/ffmpeg/AvPort.h"

extern "C" __attribute__((visibility("default"))) const LFFmpegPort* KelvaneFFmpegPort(int32_t version)
{
    static const LFFmpegPort port{AvOpenAcmStream, AvListAcmFormats, AvDecodeToWav,
                                  AvProbe,         AvCodecNameForWavTag, AvMixDownMatrix};
    return version == kFFmpegPortVersion ? &port : nullptr;
}
