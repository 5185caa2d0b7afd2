#include "cd/LCDDriveSettings.h"

#include <algorithm>

#include "cd/LCDDrives.h"
#include "cd/LVirtualDrive.h"
#include "core/LSettings.h"

LCDDriveSettings::LCDDriveSettings() : entries_(LCDDrives::StoredEntries()) {}

std::vector<LCDDriveSettings::Row> LCDDriveSettings::Rows() const
{
    std::vector<Row> rows;
    int32_t index = 0;
    for (const LCDDrives::Info& info : LCDDrives::List()) {
        if (info.isVirtual)
            continue;
        Row r;
        r.title = LCDDrives::Label(index++) + " - " + info.vendor + (info.vendor.empty() ? "" : " ") + info.model;
        r.detail = info.device + (info.error.empty() ? "" : ": " + info.error);
        rows.push_back(r);
    }
    std::vector<std::pair<std::string, bool>> virtuals;
    for (const std::string& e : entries_)
        virtuals.push_back({e, true});
    for (const std::string& e : LCDDrives::EnvironmentEntries())
        if (std::find(entries_.begin(), entries_.end(), e) == entries_.end())
            virtuals.push_back({e, false});
    for (const auto& [entry, stored] : virtuals) {
        Row r;
        std::string error;
        r.title = LCDDrives::Label(index++) + " - " +
                  (LCDDrives::Virtual(entry, error) ? std::string(LVirtualDrive::kVendor) + " " + LVirtualDrive::kProduct
                                                    : "virtual drive");
        r.detail = entry + (error.empty() ? "" : ": " + error) + (stored ? "" : " (KELVANE_CD_DRIVES, this run only)");
        r.entry = entry;
        r.removable = stored;
        rows.push_back(r);
    }
    return rows;
}

std::string LCDDriveSettings::Add(const std::string& text)
{
    const std::vector<std::string> split = LCDDrives::Split(text);
    if (split.empty())
        return "Type a .cue or an .iso file, or cdr:FOLDER, cdr74:FOLDER or cdrw:FOLDER.";
    if (split.size() > 1 || text.find(',') != std::string::npos)
        return "The virtual drive \"" + text + "\" has a comma, which separates drives: add one drive at a time.";
    const std::string& entry = split.front();
    if (std::find(entries_.begin(), entries_.end(), entry) != entries_.end())
        return "The virtual drive \"" + entry + "\" is already in the list.";
    std::string error;
    if (!LCDDrives::Virtual(entry, error))
        return error;
    entries_.push_back(entry);
    return {};
}

void LCDDriveSettings::Remove(const std::string& entry)
{
    entries_.erase(std::remove(entries_.begin(), entries_.end(), entry), entries_.end());
}

bool LCDDriveSettings::Save() const { return LSettings::WriteString("CD", "VirtualDrives", LCDDrives::Join(entries_)); }
