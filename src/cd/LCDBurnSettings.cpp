#include "cd/LCDBurnSettings.h"

#include "core/LSettings.h"

LCDBurnSettings LCDBurnSettings::Read()
{
    LCDBurnSettings s;
    s.drive = uint8_t(LSettings::ReadInt(kSection, "CDDrive", 0));
    s.speed = uint16_t(LSettings::ReadInt(kSection, "Speed", kMaxSpeed));
    s.eraseCDRW = LSettings::ReadBool(kSection, "EraseCDRW", true);
    s.overburn = LSettings::ReadBool(kSection, "Overburn", false);
    s.internal = LSettings::ReadBool(kSection, "Internal", true);
    s.discAtOnce = LSettings::ReadBool(kSection, "DiscAtOnce", false);
    s.simulate = LSettings::ReadBool(kSection, "Simulate", false);
    s.verify = LSettings::ReadBool(kSection, "Verify", false);
    s.trackFolder = LSettings::ReadString(kSection, "TrackFolder");
    s.rockRidge = LSettings::ReadBool(kSection, "RockRidge", true);
    return s;
}

bool LCDBurnSettings::Write() const
{
    bool ok = LSettings::WriteInt(kSection, "CDDrive", drive);
    ok = LSettings::WriteInt(kSection, "Speed", speed) && ok;
    ok = LSettings::WriteBool(kSection, "EraseCDRW", eraseCDRW) && ok;
    ok = LSettings::WriteBool(kSection, "Overburn", overburn) && ok;
    ok = LSettings::WriteBool(kSection, "Internal", internal) && ok;
    ok = LSettings::WriteBool(kSection, "DiscAtOnce", discAtOnce) && ok;
    ok = LSettings::WriteBool(kSection, "Simulate", simulate) && ok;
    ok = LSettings::WriteBool(kSection, "Verify", verify) && ok;
    ok = LSettings::WriteString(kSection, "TrackFolder", trackFolder) && ok;
    ok = LSettings::WriteBool(kSection, "RockRidge", rockRidge) && ok;
    return ok;
}

std::string LCDBurnSettings::SpeedText(uint16_t speed)
{
    return speed == kMaxSpeed ? "[MAX]" : std::to_string(speed) + "x";
}
