#include "effects/LEfDialogChecks.h"

std::string CheckAmplifyGain(int32_t percent)
{
    return percent <= 400 ? std::string() : "Amplify Gain must be less than 400%. Please try again.";
}

std::string CheckNormalizePeakLevel(int32_t percent)
{
    return percent <= 100 ? std::string() : "Normailze Peak Level must be less than 100%. Please try again.";
}

std::string CheckEcho(int32_t timeMs, int32_t gainPercent)
{
    if (timeMs < 10 || timeMs > 2999)
        return "Echo time must be between 10 and 3000ms. Please try again.";
    if (gainPercent > 99)
        return "Echo Gain must be less than 100%. Please try again.";
    return {};
}

std::string CheckReverb(int32_t levelPercent, int32_t timeMs)
{
    if (levelPercent > 100)
        return "Reverb level must be less than 100. Please try again.";
    if (timeMs < 50 || timeMs > 1000)
        return "Reverb time must be between 50 and 1000. Please try again.";
    return {};
}

std::string CheckPasteMixVolume(int32_t percent)
{
    return percent <= 100 ? std::string() : "Mix Volume must be less than 100%. Please try again.";
}

std::string CheckSpeedChangePercent(int32_t percent)
{
    return percent <= 300 ? std::string() : "Speed Change Percent must be less than 300.";
}

namespace {
const char* const kSpeedNames[] = {"Simple Speed and Pitch Change", "Constant Pitch and Speed Change",
                                   "Constant Speed and Pitch Change"};
const char* const kSpeedLabels[] = {"Speed/Pitch Adjust (%)", "Speed Adjust (%)", "Pitch Adjust (%)"};
} // namespace

int32_t SpeedChangeModeOf(const std::string& caption)
{
    for (int32_t m = 0; m < 3; ++m)
        if (caption == kSpeedNames[m])
            return m;
    return -1;
}

const char* SpeedChangeCommandName(int32_t mode) { return mode >= 0 && mode < 3 ? kSpeedNames[mode] : ""; }

const char* SpeedChangeFieldLabel(int32_t mode) { return mode >= 0 && mode < 3 ? kSpeedLabels[mode] : ""; }
