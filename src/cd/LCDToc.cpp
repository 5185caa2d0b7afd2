#include "cd/LCDToc.h"

#include <algorithm>

#include "cd/LMmcCommands.h"
#include "cd/LSCSI.h"
#include "core/ByteOrder.h"

int32_t LCDToc::Sectors(int32_t track) const
{
    if (track < 0 || track >= count)
        return 0;
    return std::max(starts[size_t(track) + 1] - starts[size_t(track)], 0);
}

int32_t LCDToc::Read(LSCSI& scsi, LCDToc& toc, LProgressDialog* progress)
{
    toc = LCDToc();
    uint8_t buffer[2048] = {};
    const LCdb cdb = LMmcCommands::ReadToc();
    const int32_t r = scsi.ExecuteCommand(kScsiRead, kTimeoutMs, sizeof buffer, buffer, cdb.bytes, cdb.length, progress);
    if (r != kScsiOk)
        return r;
    const int32_t count = (int32_t(GetBE16(buffer)) - 10) / 8;
    if (int32_t(GetBE16(buffer)) - 10 < 0)
        return kScsiFailed;
    toc.count = std::min(count, 255);
    toc.firstTrack = buffer[2];
    for (int32_t i = 0; i <= toc.count; ++i) {
        const uint8_t* d = buffer + 4 + 8 * i;
        if (d + 8 > buffer + sizeof buffer)
            break;
        toc.starts.push_back(int32_t(GetBE32(d + 4)));
        toc.control.push_back(d[1] & 0x0F);
    }
    toc.count = int32_t(toc.starts.size()) - 1;
    return kScsiOk;
}

int32_t LCDToc::Read(uint8_t drive, LCDToc& toc, std::string& error, LProgressDialog* progress)
{
    LSCSI scsi;
    if (!scsi.OpenCDROMDrive(drive)) {
        error = scsi.OpenError();
        return kScsiFailed;
    }
    const int32_t r = Read(scsi, toc, progress);
    if (r == kScsiFailed)
        error = scsi.LastError();
    return r;
}
