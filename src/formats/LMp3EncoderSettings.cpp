#include "formats/LMp3EncoderSettings.h"

#include "core/LSettings.h"
#include "core/LUi.h"

LMp3EncoderSettings LMp3EncoderSettings::Read()
{
    const LMp3EncoderSettings d;
    LMp3EncoderSettings s;
    s.constantBitRate = LSettings::ReadBool(kSection, "ConstantBitRate", d.constantBitRate);
    s.cbrBitRate = LSettings::ReadInt(kSection, "CBRBitRate", d.cbrBitRate);
    s.highQuality = LSettings::ReadBool(kSection, "HighQuality", d.highQuality);
    s.vbrMinBitRate = LSettings::ReadInt(kSection, "VBRMinBitRate", d.vbrMinBitRate);
    s.vbrMaxBitRate = LSettings::ReadInt(kSection, "VBRMaxBitRate", d.vbrMaxBitRate);
    s.vbrQuality = LSettings::ReadInt(kSection, "VBRQuality", d.vbrQuality);
    s.errorProtection = LSettings::ReadBool(kSection, "ErrorProtection", d.errorProtection);
    s.channelMode = LSettings::ReadInt(kSection, "ChannelMode", d.channelMode);
    if (s.vbrMaxBitRate > 160 && s.vbrMinBitRate < 32)
        s.vbrMinBitRate = 32;
    return s;
}

void LMp3EncoderSettings::Write() const
{
    LSettings::WriteBool(kSection, "ConstantBitRate", constantBitRate);
    LSettings::WriteInt(kSection, "CBRBitRate", cbrBitRate);
    LSettings::WriteBool(kSection, "HighQuality", highQuality);
    LSettings::WriteInt(kSection, "VBRMinBitRate", vbrMinBitRate);
    LSettings::WriteInt(kSection, "VBRMaxBitRate", vbrMaxBitRate);
    LSettings::WriteInt(kSection, "VBRQuality", vbrQuality);
    LSettings::WriteBool(kSection, "ErrorProtection", errorProtection);
    LSettings::WriteInt(kSection, "ChannelMode", channelMode);
}

bool LMp3EncoderSettings::Dialog(LMp3EncoderSettings& settings)
{
    LMp3EncoderSettings chosen = settings;
    if (!LUiGet().Mp3EncodeDialog(chosen))
        return false;
    chosen.Write();
    settings = chosen;
    return true;
}
