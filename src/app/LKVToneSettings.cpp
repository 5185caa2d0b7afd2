#include "app/LKVToneSettings.h"

#include <algorithm>
#include <cmath>

#include "app/LSettingsTable.h"
#include "core/LSettings.h"

namespace {

namespace S = LKVSettings;

// Frequencies and levels are stored in hundredths, so a typed 440.5 Hz or
// -6.5 dBFS comes back as it was.
int32_t Hundredths(double v) { return int32_t(std::lround(std::clamp(v, -1e7, 1e7) * 100)); }

} // namespace

LKVToneChoice LKVToneSettings::Read()
{
    LKVToneChoice c;
    LToneParams& s = c.spec;
    const int32_t kind = S::kToneWaveform.Read();
    s.kind = kind >= 0 && kind < LToneParams::kKindCount ? LToneParams::Kind(kind) : LToneParams::Kind::Sine;
    s.frequency = S::kToneFrequency.Read() / 100.0;
    s.endFrequency = S::kToneEndFrequency.Read() / 100.0;
    s.logSweep = S::kToneLogSweep.Read();
    s.levelDb = S::kToneAmplitude.Read() / 100.0;
    s.durationMs = S::kToneDuration.Read();
    s.digits = S::kToneDigits.Read();
    s.toneMs = S::kToneDigitTime.Read();
    s.pauseMs = S::kTonePauseTime.Read();
    s.fadeInMs = S::kToneFadeIn.Read();
    s.fadeOutMs = S::kToneFadeOut.Read();
    s.sampleRate = LSettings::ReadInt(kSection, S::kToneSampleRate.name, S::kDefaultSampleRate.Read());
    const int32_t channels = LSettings::ReadInt(kSection, S::kToneChannels.name, S::kDefaultChannels.Read());
    s.channels = uint8_t(channels == 2 ? 2 : 1);
    c.insert = S::kToneInsert.Read();
    return c;
}

void LKVToneSettings::Write(const LKVToneChoice& c)
{
    const LToneParams& s = c.spec;
    S::kToneWaveform.Write(int32_t(s.kind));
    S::kToneFrequency.Write(Hundredths(s.frequency));
    S::kToneEndFrequency.Write(Hundredths(s.endFrequency));
    S::kToneLogSweep.Write(s.logSweep);
    S::kToneAmplitude.Write(Hundredths(s.levelDb));
    S::kToneDuration.Write(s.durationMs);
    S::kToneDigits.Write(s.digits);
    S::kToneDigitTime.Write(s.toneMs);
    S::kTonePauseTime.Write(s.pauseMs);
    S::kToneFadeIn.Write(s.fadeInMs);
    S::kToneFadeOut.Write(s.fadeOutMs);
    // An insert takes the document's format; the stored one stays for new documents.
    if (!c.insert) {
        S::kToneSampleRate.Write(s.sampleRate);
        S::kToneChannels.Write(s.channels);
    }
    S::kToneInsert.Write(c.insert);
}
