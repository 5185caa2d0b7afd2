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
    settings = chosen;
    return true;
}
