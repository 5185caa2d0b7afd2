#include "devices/LLoudnessReading.h"

#include <cmath>
#include <cstdio>

std::string LLoudnessReading::ValueText(double lufs)
{
    if (std::isnan(lufs))
        return "\u2014";
    if (lufs < -99.95)
        return "\u2212\u221E";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", std::fabs(lufs));
    // "-0.0" would read as a negative zero: a value that rounds to 0 has no sign.
    const bool negative = lufs < 0 && std::string(text) != "0.0";
    return (negative ? "\u2212" : "") + std::string(text);
}

std::string LLoudnessReading::Text() const
{
    return "M " + ValueText(momentary) + "  S " + ValueText(shortTerm) + " LUFS";
}
