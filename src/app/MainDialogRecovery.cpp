// Crash recovery: each document's record in the working folder, and the
// question at start-up when an earlier run left records behind.
#include <algorithm>

#include "app/MainDialog.h"
#include "app/MainDialogShared.h"
#include "core/LFile.h"

void MainDialog::RecordDocument(const LKVFile& doc)
{
    // A new document nobody has touched holds nothing to lose.
    if (!doc.modified && doc.path.empty() && doc.audio.Cuts().empty() && !recovery_.HasRecord(doc))
        return;
    recovery_.Write(doc, bookmarks_, regions_);
}

void MainDialog::RecordMarks(const LKVFile* also)
{
    for (const auto& d : documents_)
        if (d.get() == also || recovery_.HasRecord(*d))
            RecordDocument(*d);
}

void MainDialog::TakeWatcher::TakeStarted(const LRecordTarget& target)
{
    owner->recovery_.TakeStarted(*doc, start, end, target, owner->bookmarks_, owner->regions_);
}

void MainDialog::TakeWatcher::TakeEnded() { owner->recovery_.TakeEnded(); }

namespace {

LCutListAudio CutsOf(const std::vector<LKVRecoveryRecord::Cut>& cuts, int32_t rate, uint8_t channels)
{
    LCutListAudio list;
    list.sampleRate = rate;
    list.channels = channels;
    // Each cut takes over one of the references Collect reserved for it.
    for (const LKVRecoveryRecord::Cut& c : cuts)
        list.Add(LCut::Adopt(c.segment, c.length, c.gain, c.start));
    return list;
}

} // namespace

int32_t MainDialog::RecoverAtStart()
{
    std::vector<LKVRecovery::Left> left = LKVRecovery::Collect();
    if (left.empty())
        return 0;
    // Audio whose segment files are gone comes back as silence; the user hears
    // of it before choosing, and may still have the rest.
    std::string question = LKVRecovery::kQuestion;
    const std::vector<LKVRecovery::Lost> lost = LKVRecovery::FindLost(left);
    if (!lost.empty())
        question += std::string("\r\n\r\nSome of their audio is missing from the working folder and cannot be "
                                "recovered. Yes recovers the rest, with silence in place of:\r\n") +
                    LKVRecovery::LostText(lost);
    if (LUiGet().Message(question, kAppCaption, LUiButtons::YesNo, LUiIcon::Question) != LUiAnswer::Yes) {
        LKVRecovery::Discard(left);
        return 0;
    }
    int32_t restored = 0;
    for (LKVRecovery::Left& l : left) {
        LKVRecoveryRecord& r = l.record;
        auto doc = std::make_unique<LKVFile>();
        doc->path = r.path;
        doc->untitledNumber = r.untitledNumber;
        // Two runs' records may both hold an "Untitled 1".
        if (doc->path.empty() && std::any_of(documents_.begin(), documents_.end(), [&](const auto& d) {
                return d->path.empty() && d->untitledNumber == r.untitledNumber;
            }))
            doc->untitledNumber = GetUntitledIdx();
        doc->audio = CutsOf(r.cuts, r.sampleRate, r.channels);
        doc->pos = r.pos;
        doc->verticalZoom = r.verticalZoom;
        doc->displayMode = r.displayMode;
        // Only what differs from its file is unsaved: a document that was never
        // changed stays unmodified, unless there is no file (any more) to hold it.
        doc->modified = r.modified || doc->path.empty() || !FileExists(doc->path);
        const std::string owner = doc->GetPathOrTitle();
        for (LKVBookMark& b : r.bookmarks) {
            b.path = owner;
            bookmarks_.push_back(std::move(b));
        }
        for (LKVRecoveryRecord::Region& g : r.regions) {
            LKVRegion region{std::move(g.name), owner, g.startMs, g.endMs, CutsOf(g.cuts, g.sampleRate, g.channels)};
            regions_.push_back(std::move(region));
        }
        // The document carries on under the record it came from, so a crash now
        // leaves it once, not twice.
        recovery_.Adopt(*doc, l.name);
        AddNewDocument(std::move(doc), true);
        ++restored;
    }
    if (view_) {
        view_->BookMarksChanged();
        view_->RegionsChanged();
        if (current_)
            view_->SaveEnabledChanged(current_->modified);
    }
    return restored;
}
