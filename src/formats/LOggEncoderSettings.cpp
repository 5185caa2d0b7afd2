#include "formats/LOggEncoderSettings.h"

#include "core/LSettings.h"
#include "core/LUi.h"

LOggEncoderSettings LOggEncoderSettings::Read()
{
    const LOggEncoderSettings d;
    LOggEncoderSettings s;
    s.averageBitRate = LSettings::ReadBool(kSection, "AverageBitRate", d.averageBitRate);
    s.abrBitRate = LSettings::ReadInt(kSection, "ABRBitRate", d.abrBitRate);
    s.vbrMinBitRate = LSettings::ReadInt(kSection, "VBRMinBitRate", d.vbrMinBitRate);
    s.vbrMaxBitRate = LSettings::ReadInt(kSection, "VBRMaxBitRate", d.vbrMaxBitRate);
    s.vbrQuality = LSettings::ReadInt(kSection, "VBRQuality", d.vbrQuality);
    s.channels = LSettings::ReadInt(kSection, "Channels", d.channels);
    s.sampleRate = LSettings::ReadInt(kSection, "SampleRate", d.sampleRate);
    // ReadInt gives the default for a missing and for an empty value alike.
    s.channelsStored = !LSettings::ReadString(kSection, "Channels").empty();
    s.sampleRateStored = !LSettings::ReadString(kSection, "SampleRate").empty();
    if (s.vbrMaxBitRate > 160 && s.vbrMinBitRate < 32)
        s.vbrMinBitRate = 32;
    return s;
}

LOggEncoderSettings LOggEncoderSettings::ForDocument(int32_t documentRate, int32_t documentChannels) const
{
    LOggEncoderSettings s = *this;
    // A stored 0 is the user's choice of "Same as the source".
    if (!channelsStored || channels <= 0)
        s.channels = documentChannels;
    if (!sampleRateStored || sampleRate <= 0)
        s.sampleRate = documentRate;
    return s;
}

void LOggEncoderSettings::Write() const
{
    LSettings::WriteBool(kSection, "AverageBitRate", averageBitRate);
    LSettings::WriteInt(kSection, "ABRBitRate", abrBitRate);
    LSettings::WriteInt(kSection, "VBRMinBitRate", vbrMinBitRate);
    LSettings::WriteInt(kSection, "VBRMaxBitRate", vbrMaxBitRate);
    LSettings::WriteInt(kSection, "VBRQuality", vbrQuality);
    LSettings::WriteInt(kSection, "Channels", channels);
    LSettings::WriteInt(kSection, "SampleRate", sampleRate);
}

bool LOggEncoderSettings::Dialog(LOggEncoderSettings& settings)
{
    LOggEncoderSettings chosen = settings;
    if (!LUiGet().OggEncodeDialog(chosen))
        return false;
    chosen.Write();
    chosen.channelsStored = chosen.sampleRateStored = true;
    settings = chosen;
    return true;
}
