#include "formats/LFlacEncoderSettings.h"

#include "core/LSettings.h"
#include "core/LUi.h"

LFlacEncoderSettings LFlacEncoderSettings::Read()
{
    const LFlacEncoderSettings d;
    LFlacEncoderSettings s;
    s.compression = LSettings::ReadInt(kSection, "Compression", d.compression);
    s.channels = LSettings::ReadInt(kSection, "Channels", d.channels);
    s.sampleRate = LSettings::ReadInt(kSection, "SampleRate", d.sampleRate);
    // ReadInt gives the default for a missing and for an empty value alike.
    s.channelsStored = !LSettings::ReadString(kSection, "Channels").empty();
    s.sampleRateStored = !LSettings::ReadString(kSection, "SampleRate").empty();
    return s;
}

LFlacEncoderSettings LFlacEncoderSettings::ForDocument(int32_t documentRate, int32_t documentChannels) const
{
    LFlacEncoderSettings s = *this;
    // A stored 0 is the user's choice of "Same as the source".
    if (!channelsStored || channels <= 0)
        s.channels = documentChannels;
    if (!sampleRateStored || sampleRate <= 0)
        s.sampleRate = documentRate;
    return s;
}

void LFlacEncoderSettings::Write() const
{
    LSettings::WriteInt(kSection, "Compression", compression);
    LSettings::WriteInt(kSection, "Channels", channels);
    LSettings::WriteInt(kSection, "SampleRate", sampleRate);
}

bool LFlacEncoderSettings::Dialog(LFlacEncoderSettings& settings)
{
    LFlacEncoderSettings chosen = settings;
    if (!LUiGet().FlacEncodeDialog(chosen))
        return false;
    chosen.Write();
    chosen.channelsStored = chosen.sampleRateStored = true;
    settings = chosen;
    return true;
}
