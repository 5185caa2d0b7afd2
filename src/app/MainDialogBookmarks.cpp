// Bookmarks of the main window: Set Bookmark, Go To and the bookmark window's commands.
#include <algorithm>
#include <ctime>

#include "app/LKVBinary.h"
#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "app/MainDialogShared.h"
#include "core/LSoundTime.h"

namespace S = LKVSettings;

namespace {

constexpr char kBookMarkExists[] = "This bookmark name already exist. Do you want to replace it?";

uint32_t NowSeconds() { return uint32_t(std::max<int64_t>(int64_t(std::time(nullptr)), 0)); }

// Asks for a bookmark name until one is free or the user agrees to replace the
// bookmark holding it (whose index is left in `replace`, -1 for none). `self`
// is the bookmark being renamed, which may keep its name.
bool AskBookMarkName(const LKVBookMarkList& list, const std::string& title, std::string& name, int64_t self,
                     int64_t& replace)
{
    for (;;) {
        replace = -1;
        if (!LUiGet().TextDialog(title, name) || name.empty())
            return false;
        if (!LKVTextFits(name)) {
            LKVNameTooLong();
            continue;
        }
        for (size_t i = 0; i < list.size(); ++i)
            if (int64_t(i) != self && list[i].name == name)
                replace = int64_t(i);
        if (replace < 0 ||
            LUiGet().Message(kBookMarkExists, "BookMark Exist", LUiButtons::YesNo, LUiIcon::Question) ==
                LUiAnswer::Yes)
            return true;
    }
}

} // namespace

bool MainDialog::CmSetBookmark()
{
    if (!current_)
        return false;
    LKVFile& doc = *current_;
    const int32_t ms = std::max(0, LKVFramesToMs(doc.pos.cursor, doc.audio.sampleRate));
    std::string name = doc.GetTitle() + "@" + LSoundTime(ms).GetTextCs();
    int64_t replace = -1;
    if (!AskBookMarkName(bookmarks_, "Enter Bookmark Name", name, -1, replace))
        return false;
    if (replace >= 0)
        bookmarks_.erase(bookmarks_.begin() + replace);
    bookmarks_.push_back({name, doc.GetPathOrTitle(), uint32_t(ms), 1, NowSeconds()});
    // The bookmark file is written with the document.
    doc.modified = true;
    RecordMarks(&doc);
    if (view_) {
        view_->SaveEnabledChanged(true);
        view_->BookMarksChanged();
    }
    return true;
}

void MainDialog::GoToBookmark(size_t index)
{
    if (index >= bookmarks_.size())
        return;
    LKVBookMark& b = bookmarks_[index];
    if (b.timesVisited < 255)
        ++b.timesVisited;
    b.lastVisited = NowSeconds();
    if (view_)
        view_->BookMarksChanged();
    auto doc = std::find_if(documents_.begin(), documents_.end(),
                            [&](const auto& d) { return d->GetPathOrTitle() == b.path; });
    if (doc == documents_.end())
        return;
    LKVFile& file = **doc;
    SetCurrentFile(&file);
    const int32_t frame = std::clamp(LKVMsToFrames(b.positionMs, file.audio.sampleRate), 0, file.audio.GetLength());
    // With "PlayBookMark" it plays from the bookmark, even one within the last
    // second; the cursor then follows the playback.
    if (S::kPlayBookMark.Read())
        PlayAudio(file.audio, frame, &file);
    else
        SetSelection(frame, frame, frame);
}

bool MainDialog::RenameBookmark(size_t index)
{
    if (index >= bookmarks_.size())
        return false;
    std::string name = bookmarks_[index].name;
    int64_t replace = -1;
    if (!AskBookMarkName(bookmarks_, "Rename Bookmark", name, int64_t(index), replace))
        return false;
    bookmarks_[index].name = name;
    if (replace >= 0)
        bookmarks_.erase(bookmarks_.begin() + replace);
    RecordMarks(nullptr);
    if (view_)
        view_->BookMarksChanged();
    return true;
}

bool MainDialog::DeleteBookmarks(std::vector<size_t> indexes)
{
    if (indexes.empty() || LUiGet().Message("Delete the selected bookmark(s)?", "Confirm Delete", LUiButtons::YesNo,
                                            LUiIcon::Question) != LUiAnswer::Yes)
        return false;
    const bool erased = LKVEraseIndexes(bookmarks_, std::move(indexes));
    RecordMarks(nullptr);
    if (erased && view_)
        view_->BookMarksChanged();
    return erased;
}

bool MainDialog::DeleteAllBookmarks()
{
    if (bookmarks_.empty() || LUiGet().Message("Delete all selected bookmark(s)?", "Confirm Delete All",
                                               LUiButtons::YesNo, LUiIcon::Question) != LUiAnswer::Yes)
        return false;
    bookmarks_.clear();
    RecordMarks(nullptr);
    if (view_)
        view_->BookMarksChanged();
    return true;
}

LWaveMarks MainDialog::MarksOf(const LKVFile& doc) const
{
    const std::string owner = doc.GetPathOrTitle();
    const int32_t rate = doc.audio.sampleRate, length = doc.audio.GetLength();
    std::vector<LWaveBookmark> bookmarks;
    for (size_t i = 0; i < bookmarks_.size(); ++i)
        if (bookmarks_[i].path == owner)
            bookmarks.push_back(
                {bookmarks_[i].name, std::clamp(LKVMsToFrames(bookmarks_[i].positionMs, rate), 0, length), i});
    std::vector<LWaveRegion> regions;
    for (size_t i = 0; i < regions_.size(); ++i)
        if (regions_[i].path == owner) {
            const int32_t start = std::clamp(LKVMsToFrames(regions_[i].startMs, rate), 0, length);
            regions.push_back({regions_[i].name, start,
                               std::clamp(LKVMsToFrames(regions_[i].endMs, rate), start, length), i});
        }
    LWaveMarks marks;
    marks.SetBookmarks(std::move(bookmarks));
    marks.SetRegions(std::move(regions));
    return marks;
}
