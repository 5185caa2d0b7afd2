#include "core/LSoundTime.h"

#include <cstdio>

void LSoundTime::SetSamples(int32_t frames, int32_t rate)
{
    if (rate <= 0)
        return;
    ms_ = (frames / rate) * 1000 + ((frames % rate) * 1000) / rate;
}

int32_t LSoundTime::GetSamples(int32_t rate) const
{
    // int64 only guards the extreme rates; for rates up to 2^21 the 32-bit split is exact.
    int64_t whole = int64_t(ms_ / 1000) * rate;
    int64_t part = (int64_t(ms_ % 1000) * rate) / 1000;
    return int32_t(whole + part);
}

namespace {

enum class Form { Ms, Cs, Sec };

std::string Format(int32_t ms, Form form)
{
    const char* sign = ms < 0 ? "-" : "";
    // Magnitude in 64 bits so that INT32_MIN formats instead of overflowing.
    int64_t t = ms < 0 ? -int64_t(ms) : int64_t(ms);
    t += form == Form::Cs ? 5 : form == Form::Sec ? 500 : 0;
    long long hours = t / 3600000;
    long long minutes = (t / 60000) % 60;
    long long seconds = (t / 1000) % 60;
    char text[64];
    switch (form) {
    case Form::Ms:
        std::snprintf(text, sizeof text, "%s%lld:%.2lld:%.2lld.%.3lld", sign, hours, minutes, seconds,
                      (long long)(t % 1000));
        break;
    case Form::Cs:
        std::snprintf(text, sizeof text, "%s%lld:%.2lld:%.2lld.%.2lld", sign, hours, minutes, seconds,
                      (long long)((t % 1000) / 10));
        break;
    case Form::Sec:
        std::snprintf(text, sizeof text, "%s%lld:%.2lld:%.2lld", sign, hours, minutes, seconds);
        break;
    }
    return text;
}

} // namespace

std::string LSoundTime::GetTextMs() const { return Format(ms_, Form::Ms); }
std::string LSoundTime::GetTextCs() const { return Format(ms_, Form::Cs); }
std::string LSoundTime::GetTextSec() const { return Format(ms_, Form::Sec); }

void LSoundTime::SetText(const std::string& text)
{
    // Wrapping 32-bit arithmetic, as the typed value is stored in 32 bits; absurdly long
    // input wraps instead of invoking undefined behaviour.
    uint32_t result = 0;
    uint32_t field = 0;
    int32_t weight = 1000;
    bool minus = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            uint32_t d = uint32_t(c - '0');
            if (weight == 1000) {
                result += field * 9 + d * 1000;
                field = field * 10 + d * 1000;
            } else {
                result += d * uint32_t(weight);
                weight /= 10;
            }
        } else if (c == ':') {
            result *= 60;
            field = 0;
        } else if (c == '.') {
            if (weight == 1000)
                weight = 100;
        } else if (c == '-') {
            minus = true;
        }
    }
    if (minus)
        result = 0u - result;
    ms_ = int32_t(result);
}
