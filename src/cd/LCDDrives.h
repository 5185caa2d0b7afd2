#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cd/LScsiTransport.h"

class LVirtualDrive;
struct LSgSystem;

// The CD drives of this machine and the virtual ones, numbered from 0: the real
// drives first, in /dev/srN order as /sys/class/block lists them, then the
// virtual drives of the setting "CD"/"VirtualDrives", then those of the
// environment variable KELVANE_CD_DRIVES (both: entries separated by commas,
// see LVirtualDrive for their forms; an entry in both counts once). A virtual
// drive is made once per process and kept, so its tray, faults and writing
// state last as a real drive's do. UI thread (or one job's thread) only.
class LCDDrives {
public:
    struct Info {
        int32_t index = 0;
        bool isVirtual = false;
        std::string device;          // "/dev/sr0", or the virtual drive's entry
        std::string vendor, model, revision;  // from INQUIRY (or sysfs when the drive cannot be opened)
        std::string error;           // why the drive cannot be used, or empty
    };

    // Device paths of the real drives.
    static std::vector<std::string> RealDevices();
    // Entries of the virtual drives, stored ones first.
    static std::vector<std::string> VirtualEntries();
    // Stored entries only (the setting).
    static std::vector<std::string> StoredEntries();
    // Entries of KELVANE_CD_DRIVES only.
    static std::vector<std::string> EnvironmentEntries();
    static int32_t Count();

    // Opens the index-th drive. Null with `error` (a sentence naming the drive)
    // when there is none of that index or it cannot be opened.
    static std::shared_ptr<LScsiTransport> Open(int32_t index, std::string& error);
    // The virtual drive of `entry`, made on first use.
    static std::shared_ptr<LVirtualDrive> Virtual(const std::string& entry, std::string& error);
    // Every drive with its INQUIRY names (each drive is opened and asked).
    static std::vector<Info> List();
    // "CD-ROM %d" with the 1-based number, as the dialogs list drives.
    static std::string Label(int32_t index);
    // One line for a dialog's list: "CD-ROM 1 - KELVANE Virtual CD-RW (/music/a.cue)".
    static std::string Describe(const Info& info);

    // Splits a list of entries at commas, dropping empty ones and blanks around them.
    static std::vector<std::string> Split(const std::string& text);
    static std::string Join(const std::vector<std::string>& entries);

    // Test seams: the folder listed instead of /sys/class/block, and the system
    // calls used to open real drives (null restores the real ones).
    static void SetSystemForTest(const std::string& sysClassBlock, const LSgSystem* system);
    // Forgets every virtual drive made so far (their state on disk stays).
    static void ForgetVirtualDrives();
};
