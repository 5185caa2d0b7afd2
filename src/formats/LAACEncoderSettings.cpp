#include "formats/LAACEncoderSettings.h"

#include "core/LSettings.h"
#include "core/LUi.h"

LAACEncoderSettings LAACEncoderSettings::Read()
{
    const LAACEncoderSettings d;
    LAACEncoderSettings s;
    s.averageBitRate = LSettings::ReadBool(kSection, "AverageBitRate", d.averageBitRate);
    s.abrBitRate = LSettings::ReadInt(kSection, "ABRBitRate", d.abrBitRate);
    s.vbrQuality = LSettings::ReadInt(kSection, "VBRQuality", d.vbrQuality);
    s.channels = LSettings::ReadInt(kSection, "Channels", d.channels);
    s.sampleRate = LSettings::ReadInt(kSection, "SampleRate", d.sampleRate);
    // ReadInt gives the default for a missing and for an empty value alike.
    s.channelsStored = !LSettings::ReadString(kSection, "Channels").empty();
    s.sampleRateStored = !LSettings::ReadString(kSection, "SampleRate").empty();
    s.forceMpeg2 = LSettings::ReadBool(kSection, "ForceMPEG2", d.forceMpeg2);
    s.disableTns = LSettings::ReadBool(kSection, "DisableTNS", d.disableTns);
    return s;
}

LAACEncoderSettings LAACEncoderSettings::ForDocument(int32_t documentRate, int32_t documentChannels) const
{
    LAACEncoderSettings s = *this;
    // A stored 0 is the user's choice of "Same as the source".
    if (!channelsStored || channels <= 0)
        s.channels = documentChannels;
    if (!sampleRateStored || sampleRate <= 0)
        s.sampleRate = documentRate;
    return s;
}

void LAACEncoderSettings::Write() const
{
    LSettings::WriteBool(kSection, "AverageBitRate", averageBitRate);
    LSettings::WriteInt(kSection, "ABRBitRate", abrBitRate);
    LSettings::WriteInt(kSection, "VBRQuality", vbrQuality);
    LSettings::WriteInt(kSection, "Channels", channels);
    LSettings::WriteInt(kSection, "SampleRate", sampleRate);
    LSettings::WriteBool(kSection, "ForceMPEG2", forceMpeg2);
    LSettings::WriteBool(kSection, "DisableTNS", disableTns);
}

bool LAACEncoderSettings::Dialog(LAACEncoderSettings& settings)
{
    LAACEncoderSettings chosen = settings;
    if (!LUiGet().AACEncodeDialog(chosen))
        return false;
    if (chosen.vbrQuality == 0)
        chosen.vbrQuality = 100;
    chosen.Write();
    chosen.channelsStored = chosen.sampleRateStored = true;
    settings = chosen;
    return true;
}
