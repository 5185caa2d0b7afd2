#pragma once
#include <cstdint>
#include <string>

#include "cli/BatchOptions.h"
#include "edit/LCutListAudio.h"

// Exit statuses of kelvane-batch.
enum : int { kExitDone = 0, kExitCancelled = 1, kExitFailed = 2 };

// Converts `source` into `target` (the same path for in-place), saving by the
// target's type. The result is written beside the target under a temporary name
// and renamed over it only when complete, so a failed or cancelled conversion
// leaves no partial output and never harms the source. Returns a job result.
// `notice`, when given, gets what the saved file could not keep of the result
// (a rate or channel count an encoder changed, a sample width no writer takes),
// or nothing.
int32_t ConvertFile(const std::string& source, const std::string& target, const BatchOptions& options,
                    std::string* notice = nullptr);

// Saves `audio` into `target` by the target's type, as a batch run saves its
// results (the same temporary name and rename, the same encoder settings);
// `notice` as ConvertFile gives it. Returns a job result.
int32_t SaveAudio(const LCutListAudio& audio, const std::string& target, std::string* notice = nullptr);

// Makes the document of the options' generator, runs their commands over it
// and saves it as `target`; a job result, with `notice` as for ConvertFile.
int32_t GenerateFile(const std::string& target, const BatchOptions& options, std::string* notice = nullptr);

// One line describing a file: rate, channels, length and format.
bool DescribeFile(const std::string& path, std::string& line);

// Runs the whole command line; returns the exit status.
int RunBatch(const BatchOptions& options);
