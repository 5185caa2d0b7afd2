#pragma once
#include <cstdint>
#include <string>

// The OK checks of the effect dialogs. Each returns the message to show in an
// "Invalid value" box (information icon; the dialog stays open), or an empty
// string when the values are accepted. Where a dialog has two checks they run in
// the order the dialog tests them and the first failure is returned.

inline constexpr const char* kInvalidValueCaption = "Invalid value";

std::string CheckAmplifyGain(int32_t percent);                  // at most 400
std::string CheckNormalizePeakLevel(int32_t percent);           // at most 100
std::string CheckEcho(int32_t timeMs, int32_t gainPercent);     // 10..2999 ms, then gain at most 99
std::string CheckReverb(int32_t levelPercent, int32_t timeMs);  // level at most 100, then 50..1000 ms
std::string CheckPasteMixVolume(int32_t percent);               // at most 100
std::string CheckSpeedChangePercent(int32_t percent);           // at most 300

// The speed dialog serves three commands; its caption (the command name) picks
// the mode: 0, 1 or 2, or -1 for any other caption.
int32_t SpeedChangeModeOf(const std::string& caption);
// The command name of a mode, which is also the dialog's caption and undo name.
const char* SpeedChangeCommandName(int32_t mode);
// The label of the dialog's percent field for a mode.
const char* SpeedChangeFieldLabel(int32_t mode);
