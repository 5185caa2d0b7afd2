#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formats/LAcmStream.h"
#include "formats/LMediaInfo.h"

// The functions of the FFmpeg module, "kelvane-ffmpeg.so". FFmpeg's libraries
// pull in over a hundred others, whose loading costs every run about 50 ms; the
// module is loaded on the first call that needs FFmpeg, so runs that need none
// (a PCM WAV copy, --help) do not pay for it. The FFmpeg-free functions of the
// formats (LAcmStream::Open, LMediaProbe, ...) call through this table.
struct LFFmpegPort {
    std::unique_ptr<LAcmStream> (*openAcmStream)(const LWaveFileFormat& from, const LWaveFileFormat& to);
    std::vector<LAcmFormat> (*listAcmFormats)(int32_t rate, uint16_t channels);
    // `progress` gets the fraction done (negative when unknown) and answers
    // whether the user cancelled.
    int32_t (*decodeToWav)(const std::function<bool(double)>& progress, const std::string& input,
                           const std::string& wavPath);
    bool (*probe)(const std::string& path, LMediaInfo& info);
    std::string (*codecNameForWavTag)(uint16_t tag);
    bool (*mixDownMatrix)(int32_t channels, uint64_t mask, std::vector<double>& matrix);
};

// Raised whenever the table changes, so that a module of another build is refused.
inline constexpr int32_t kFFmpegPortVersion = 1;
inline constexpr char kFFmpegModuleName[] = "kelvane-ffmpeg.so";
inline constexpr char kFFmpegPortSymbol[] = "KelvaneFFmpegPort";

// The module's entry point: its table when `version` is the one it was built
// with, else null.
extern "C" const LFFmpegPort* KelvaneFFmpegPort(int32_t version);

// The table, the module loaded on first use; null when it cannot be loaded (said
// once on stderr, with where it was looked for), so FFmpeg's formats fail as
// formats without a codec.
const LFFmpegPort* LFFmpeg();
