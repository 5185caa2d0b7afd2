#pragma once
// Shared by the CD tests: disc images made at test time, a clock that does not
// wait, and what libcdio's cd-info reads from a CUE sheet.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "cd/LSCSI.h"
#include "cd/LScsiClock.h"
#include "core/LProgressWindow.h"

namespace cdtest {

// Waits nothing: a command not yet done stays undone, and the time asked for is
// only counted.
class InstantClock : public LScsiClock {
public:
    bool Wait(LWaitable& object, int32_t ms) override
    {
        if (object.WaitFor(0))
            return true;
        waited += ms;
        return false;
    }
    void Sleep(int32_t ms) override
    {
        slept.push_back(ms);
    }
    int64_t waited = 0;
    std::vector<int32_t> slept;
};

// Makes a BIN of `sectors` 2352-byte sectors, sparse, with a pattern of its own
// written into the sectors listed (and the first and last).
void MakeBin(const std::string& path, int32_t sectors, std::vector<int32_t> marked = {});
// Bytes of `count` sectors of `bytesPerSector` from sector `first` of a file.
std::string FileSectors(const std::string& path, int32_t first, int32_t count, int32_t bytesPerSector = 2352);

// Track starts (by LSN) and the lead-out as cd-info --no-cddb --cue-file lists
// them: pairs of (track number, LSN), 170 for the lead-out. Empty when cd-info
// fails. libcdio looks for the BIN under the CUE sheet's own name: name them alike.
std::vector<std::pair<int32_t, int32_t>> CdInfoToc(const std::string& cue);

// The drive's table of contents in the same form, through READ TOC.
std::vector<std::pair<int32_t, int32_t>> DriveToc(LSCSI& scsi);

// Runs one command on `scsi`: 0, 1 or 2 as ExecuteCommand returns.
int32_t Run(LSCSI& scsi, const LCdb& cdb, std::vector<uint8_t>& data, uint8_t direction = kScsiRead);

// Opens a virtual drive of `entry` on `scsi` (made fresh, not shared).
bool OpenVirtual(LSCSI& scsi, const std::string& entry, std::string* error = nullptr);

// Writes NAME.cue and NAME.bin, an audio disc whose tracks are `trackSectors`
// long, every sample noise of its own; returns the CUE sheet's path.
std::string MakeAudioDisc(const std::string& name, const std::vector<int32_t>& trackSectors);

// Numbers the virtual drives of `entries` (KELVANE_CD_DRIVES) from 0: the
// machine's own drives are hidden and drives made before are forgotten.
void UseVirtualDrives(const std::string& entries);

// A progress backend whose windows report Cancel once `cancelWhen` holds;
// installed for the object's lifetime.
class CancelWhen : public LProgressBackend {
public:
    explicit CancelWhen(std::function<bool()> condition);
    ~CancelWhen() override;
    std::unique_ptr<LProgressWindow> Open(const std::string& title) override;
    std::function<bool()> cancelWhen;
    std::vector<std::string> titles;
    std::vector<std::string> lines;
};

} // namespace cdtest
