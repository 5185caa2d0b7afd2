// libFuzzer target: any bytes as a CUE sheet. A sheet that reads must write out
// as text that reads back to the same sheet; laid out over BIN files made for
// the names it gives (each as long as the input says), its tracks must follow
// one another inside the disc, and the virtual drive over it must answer READ
// TOC with those tracks and READ CD with every track's first sector. Seeds:
// sheets in the forms rippers and burners write.
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

#include "FuzzSupport.h"
#include "cd/LCDImage.h"
#include "cd/LCDToc.h"
#include "cd/LCueSheet.h"
#include "cd/LMmcCommands.h"
#include "cd/LSCSI.h"
#include "cd/LVirtualDrive.h"

namespace {

void MakeSeeds(const std::string& folder)
{
    fuzz::WriteSeed(folder, "one", "FILE \"input.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    fuzz::WriteSeed(folder, "gaps",
                    "REM GENRE Rock\r\nPERFORMER \"Band\"\r\nTITLE \"Album\"\r\nFILE \"input.bin\" BINARY\r\n"
                    "  TRACK 01 AUDIO\r\n    TITLE \"One\"\r\n    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n"
                    "    PREGAP 00:02:00\r\n    INDEX 01 00:04:00\r\n  TRACK 03 AUDIO\r\n    INDEX 00 00:05:00\r\n"
                    "    INDEX 01 00:05:13\r\n    INDEX 02 00:06:00\r\n    POSTGAP 00:00:10\r\n");
    fuzz::WriteSeed(folder, "files",
                    "FILE \"a.bin\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\nFILE \"b.bin\" BINARY\n"
                    "  TRACK 02 AUDIO\n    INDEX 00 00:00:00\n    INDEX 01 00:02:00\nFILE \"c.iso\" BINARY\n"
                    "  TRACK 03 MODE1/2048\n    INDEX 01 00:00:00\n");
}

// A sparse file of `sectors` raw sectors for each simple name the sheet gives.
void MakeFiles(const LCueSheet& sheet, const uint8_t* data, size_t size)
{
    for (size_t i = 0; i < sheet.files.size(); ++i) {
        const std::string& name = sheet.files[i].name;
        if (name.empty() || name.size() > 64 || name.find('/') != std::string::npos || name == "." || name == "..")
            continue;
        const int64_t sectors = size ? int64_t(data[i % size]) * 40 + int64_t(data[(i * 7 + 3) % size]) : 0;
        const int fd = ::open(fuzz::PathIn(name).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (fd < 0)
            continue;
        if (::ftruncate(fd, off_t(sectors * 2352)) != 0)
            fuzz::Fail("cannot size a BIN");
        ::close(fd);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::Home();
    fuzz::SeedOnce(*argc, *argv, MakeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    LCueSheet sheet, again;
    std::string error;
    if (!LCueSheet::Parse(text, sheet, error)) {
        if (error.empty())
            fuzz::Fail("a refused sheet without a reason");
        return 0;
    }
    const std::string written = sheet.Write();
    if (!LCueSheet::Parse(written, again, error) || again.Write() != written)
        fuzz::Fail("a sheet does not read back as it was written");

    MakeFiles(sheet, data, size);
    const std::string cue = fuzz::WriteInput(data, size, ".cue");
    LCDImage image;
    if (!image.OpenCue(cue, error)) {
        if (error.find(cue) == std::string::npos)
            fuzz::Fail("a refused image whose message does not name the sheet");
        return 0;
    }
    int32_t previous = -1;
    for (const LCDImage::Track& t : image.Tracks()) {
        if (t.start <= previous || t.pregapStart > t.start || t.start >= t.end || t.end > image.LeadOut())
            fuzz::Fail("tracks out of order");
        if (image.TrackAt(t.start) != &t)
            fuzz::Fail("a track's first sector belongs to another track");
        previous = t.start;
    }
    std::shared_ptr<LVirtualDrive> drive = LVirtualDrive::Open(cue, error);
    if (!drive)
        fuzz::Fail("an image that opens makes no drive");
    LSCSI scsi;
    scsi.Open(drive->Connect());
    LCDToc toc;
    if (LCDToc::Read(scsi, toc) != kScsiOk || toc.count != int32_t(image.Tracks().size()) ||
        toc.starts.back() != image.LeadOut())
        fuzz::Fail("READ TOC differs from the image");
    std::vector<uint8_t> sector(2352);
    for (int32_t i = 0; i < toc.count; ++i) {
        if (toc.IsData(i) || toc.starts[size_t(i)] != image.Tracks()[size_t(i)].start)
            continue;
        if (scsi.ExecuteCommand(kScsiRead, 1000, 2352, sector.data(),
                                LMmcCommands::ReadCd(uint32_t(toc.starts[size_t(i)]), 1)) != kScsiOk)
            fuzz::Fail("an audio track's first sector cannot be read");
    }
    return 0;
}
