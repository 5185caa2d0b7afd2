#include "cd/LCDDBInfo.h"

#include <cstdio>

#include "cd/LCDDiscIds.h"
#include "cd/LCDDrives.h"
#include "cd/LSCSI.h"
#include "core/LProgressDialog.h"

std::string LCDDBInfo::DefaultName(int32_t index)
{
    char text[32];
    std::snprintf(text, sizeof text, "Track %.2d", int(index + 1));
    return text;
}

int32_t LCDDBInfo::Process(LProgressDialog& dialog, LCDDBInfo& info)
{
    dialog.SetText("Loading Table of Contents", 0);
    dialog.SetText("Please wait...", 1);
    info.tracks.clear();
    info.trackCount = 0;
    info.discTitle.clear();
    info.error.clear();
    info.lookupNote.clear();
    {
        LSCSI scsi;
        if (!scsi.OpenCDROMDrive(info.drive)) {
            info.error = scsi.OpenError();
            return kJobFailed;
        }
        info.driveName = scsi.DriveName();
        const int32_t r = LCDToc::Read(scsi, info.toc, &dialog);
        if (r != kScsiOk) {
            if (r == kScsiFailed)
                info.error = "Cannot read the table of contents of " + LCDDrives::Label(info.drive) + " (" +
                             info.driveName + "): " + scsi.LastError() + ".";
            return r;
        }
    }
    const LCDToc& toc = info.toc;
    info.trackCount = uint8_t(toc.count);
    for (int32_t i = 0; i < toc.count; ++i) {
        LCDTrackRecord t;
        t.name = DefaultName(i);
        t.start = toc.starts[size_t(i)];
        t.end = toc.starts[size_t(i) + 1];
        t.duration = t.end > t.start ? (t.end - t.start) / 75 : 0;
        t.data = toc.IsData(i);
        info.tracks.push_back(t);
    }
    info.cddbId = LCDDiscIds::CddbText(LCDDiscIds::Cddb(toc));
    info.musicBrainzId = LCDDiscIds::MusicBrainz(toc);
    if (!info.lookup || toc.count == 0)
        return kJobDone;
    return LCDDBLookup::Run(dialog, info.server, info, info.lookupNote);
}
