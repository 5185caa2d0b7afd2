#include "effects/LEfLevelChecks.h"

#include "effects/CompressorRatioList.h"

std::string CheckCompressorLevels(int32_t thresholdDb, int32_t limitDb)
{
    if (thresholdDb < kLevelControlMin || thresholdDb > 0)
        return "Threshold must be between -40 and 0 dB. Please try again.";
    if (limitDb < 0 || limitDb > kCompressorLimitMax)
        return "Limit must be between 0 and 12 dB. Please try again.";
    return {};
}

std::string CheckCompressor(int32_t thresholdDb, int32_t ratioIndex, int32_t limitDb)
{
    if (thresholdDb < kLevelControlMin || thresholdDb > 0)
        return "Threshold must be between -40 and 0 dB. Please try again.";
    if (!CompressorRatioList::Find(ratioIndex))
        return "Ratio must be one of the 7 ratios, 0 (1:1) to 6 (Limit). Please try again.";
    return CheckCompressorLevels(thresholdDb, limitDb);
}

std::string CheckNoiseGateLevel(int32_t levelDb)
{
    if (levelDb < kLevelControlMin || levelDb > 0)
        return "Noise Gate Level must be between -40 and 0 dB. Please try again.";
    return {};
}
