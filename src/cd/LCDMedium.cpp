#include "cd/LCDMedium.h"

#include <cstdio>

#include "cd/LCDAddress.h"
#include "cd/LCDToc.h"
#include "cd/LMmcCommands.h"
#include "cd/LSCSI.h"
#include "core/ByteOrder.h"

std::string LCDMedium::Duration(int32_t sectors)
{
    const int32_t seconds = sectors / kCDFramesPerSecond;
    char text[24];
    std::snprintf(text, sizeof text, "%d:%.2d", int(seconds / 60), int(seconds % 60));
    return text;
}

std::string LCDMedium::Describe(LSCSI& scsi)
{
    const LCdb tur = LMmcCommands::TestUnitReady();
    if (scsi.ExecuteCommand(kScsiRead, 5000, 0, nullptr, tur.bytes, tur.length) != kScsiOk) {
        const LScsiSense s = scsi.Sense();
        if (s.asc == 0x3A)
            return s.ascq == 0x02 ? "tray open" : "no disc";
        if (s.key == 0x02 && s.asc == 0x04)
            return "not ready";
        return "unknown (" + scsi.LastError() + ")";
    }
    uint8_t info[34] = {};
    const LCdb discInfo = LMmcCommands::ReadDiscInformation(sizeof info);
    const bool haveInfo =
        scsi.ExecuteCommand(kScsiRead, 5000, sizeof info, info, discInfo.bytes, discInfo.length) == kScsiOk;
    const bool erasable = haveInfo && (info[2] & 0x10);
    const uint8_t status = haveInfo ? info[2] & 0x03 : 2;
    if (haveInfo && status == 0) {
        std::string text = erasable ? "blank CD-RW" : "blank CD-R";
        uint8_t atip[28] = {};
        const LCdb cdb = LMmcCommands::ReadAtip(sizeof atip);
        if (scsi.ExecuteCommand(kScsiRead, 5000, sizeof atip, atip, cdb.bytes, cdb.length) == kScsiOk) {
            const int32_t leadOut = LCDFramesOf(atip[12], atip[13], atip[14]) - kCDLeadInPause;
            text += ", " + std::to_string((leadOut + 60 * 75 - 1) / (60 * 75)) + " min";
        }
        return text;
    }
    LCDToc toc;
    if (LCDToc::Read(scsi, toc) != kScsiOk || toc.count <= 0)
        return "unknown (" + scsi.LastError() + ")";
    int32_t audio = 0;
    for (int32_t i = 0; i < toc.count; ++i)
        audio += toc.IsData(i) ? 0 : 1;
    std::string text = audio == toc.count ? "audio CD" : audio == 0 ? "data CD" : "mixed CD";
    if (erasable)
        text += " (CD-RW)";
    if (haveInfo && status == 1)
        text += " (session open)";
    text += ", " + std::to_string(toc.count) + (toc.count == 1 ? " track, " : " tracks, ") +
            Duration(toc.starts.back() - toc.starts.front());
    return text;
}
