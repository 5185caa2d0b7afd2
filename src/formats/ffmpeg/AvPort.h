#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formats/LAcmStream.h"
#include "formats/LMediaInfo.h"

// The module's implementations of the FFmpeg port (LFFmpegPort), one file each.
std::unique_ptr<LAcmStream> AvOpenAcmStream(const LWaveFileFormat& from, const LWaveFileFormat& to);
std::vector<LAcmFormat> AvListAcmFormats(int32_t rate, uint16_t channels);
// Decodes the audio of `input` into a 16-bit PCM WAV file at `wavPath`, more
// than two channels mixed down; a job result.
int32_t AvDecodeToWav(const std::function<bool(double)>& progress, const std::string& input,
                      const std::string& wavPath);
bool AvProbe(const std::string& path, LMediaInfo& info);
std::string AvCodecNameForWavTag(uint16_t tag);
bool AvMixDownMatrix(int32_t channels, uint64_t mask, std::vector<double>& matrix);
