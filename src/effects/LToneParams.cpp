#include "effects/LToneParams.h"

#include <cmath>
#include <cstring>

namespace {

struct KindRow {
    LToneParams::Kind kind;
    const char* name;
    const char* caption;
};

constexpr KindRow kKinds[] = {
    {LToneParams::Kind::Sine, "sine", "Sine"},
    {LToneParams::Kind::Square, "square", "Square"},
    {LToneParams::Kind::Triangle, "triangle", "Triangle"},
    {LToneParams::Kind::Sawtooth, "sawtooth", "Sawtooth"},
    {LToneParams::Kind::White, "white", "White Noise"},
    {LToneParams::Kind::Pink, "pink", "Pink Noise"},
    {LToneParams::Kind::Sweep, "sweep", "Frequency Sweep"},
    {LToneParams::Kind::Dtmf, "dtmf", "DTMF Digits"},
    {LToneParams::Kind::Silence, "silence", "Silence"},
};

// Times above a day are surely typing mistakes; they would also overflow the
// frame count of a document at the higher rates.
constexpr int32_t kMaxMs = 24 * 3600 * 1000;

int64_t MsToFrames(int64_t ms, int32_t rate) { return ms * rate / 1000; }

} // namespace

const char* LToneParams::KindName(Kind kind) { return kKinds[size_t(kind)].name; }
const char* LToneParams::KindCaption(Kind kind) { return kKinds[size_t(kind)].caption; }

bool LToneParams::KindFromName(const std::string& name, Kind& kind)
{
    for (const KindRow& row : kKinds)
        if (name == row.name) {
            kind = row.kind;
            return true;
        }
    return false;
}

bool LToneParams::DtmfPair(char digit, int32_t& low, int32_t& high)
{
    static const char kKeys[] = "123A456B789C*0#D";
    static const int32_t kRows[] = {697, 770, 852, 941};
    static const int32_t kColumns[] = {1209, 1336, 1477, 1633};
    if (digit >= 'a' && digit <= 'd')
        digit = char(digit - 'a' + 'A');
    const char* at = digit ? std::strchr(kKeys, digit) : nullptr;
    if (!at)
        return false;
    const size_t i = size_t(at - kKeys);
    low = kRows[i / 4];
    high = kColumns[i % 4];
    return true;
}

int64_t LToneParams::Frames() const
{
    if (!Check().empty())
        return 0;
    if (kind != Kind::Dtmf)
        return MsToFrames(durationMs, sampleRate);
    const int64_t n = int64_t(digits.size());
    return n * MsToFrames(toneMs, sampleRate) + (n - 1) * MsToFrames(pauseMs, sampleRate);
}

int32_t LToneParams::PeakValue() const
{
    if (kind == Kind::Silence)
        return 0;
    return int32_t(std::lround(524272.0 * std::pow(10.0, levelDb / 20.0)));
}

std::string LToneParams::Check() const
{
    if (sampleRate < kMinRate || sampleRate > kMaxRate)
        return "The sample rate must be between 6000 and 196000 Hz.";
    if (channels < 1 || channels > 2)
        return "The channel count must be 1 (mono) or 2 (stereo).";
    if (!(levelDb <= 0 && levelDb >= kMinLevelDb))
        return "The amplitude must be between -120 and 0 dBFS.";
    const double nyquist = sampleRate / 2.0;
    const bool pitched = kind == Kind::Sine || kind == Kind::Square || kind == Kind::Triangle ||
                         kind == Kind::Sawtooth || kind == Kind::Sweep;
    if (pitched && !(frequency >= 1 && frequency < nyquist))
        return "The frequency must be at least 1 Hz and below half the sample rate (" +
               std::to_string(int32_t(nyquist)) + " Hz).";
    if (kind == Kind::Sweep && !(endFrequency >= 1 && endFrequency < nyquist))
        return "The end frequency must be at least 1 Hz and below half the sample rate (" +
               std::to_string(int32_t(nyquist)) + " Hz).";
    if (kind == Kind::Dtmf) {
        if (digits.empty())
            return "Enter the DTMF digits to generate (0-9, *, #, A-D).";
        int32_t low = 0, high = 0;
        for (char c : digits)
            if (!DtmfPair(c, low, high))
                return std::string("\"") + c + "\" is not a DTMF digit; the digits are 0-9, *, #, A-D.";
        if (digits.size() > 10000)
            return "At most 10000 DTMF digits can be generated at once.";
        if (toneMs < 1 || toneMs > 60000 || pauseMs < 0 || pauseMs > 60000)
            return "The DTMF tone must last 1 to 60000 ms and the pause 0 to 60000 ms.";
        if (fadeInMs < 0 || fadeOutMs < 0 || int64_t(fadeInMs) + fadeOutMs > toneMs)
            return "The fades must not be longer than the DTMF tone together.";
    } else {
        if (durationMs < 1 || durationMs > kMaxMs)
            return "The duration must be between 1 ms and 24 hours.";
        if (fadeInMs < 0 || fadeOutMs < 0 || int64_t(fadeInMs) + fadeOutMs > durationMs)
            return "The fades must not be longer than the duration together.";
    }
    const int64_t n = kind == Kind::Dtmf ? int64_t(digits.size()) : 1;
    const int64_t frames = kind == Kind::Dtmf
                               ? n * MsToFrames(toneMs, sampleRate) + (n - 1) * MsToFrames(pauseMs, sampleRate)
                               : MsToFrames(durationMs, sampleRate);
    if (frames < 1)
        return "The tone is too short to hold a single sample.";
    if (frames > INT32_MAX)
        return "The tone is too long for one document.";
    return {};
}
