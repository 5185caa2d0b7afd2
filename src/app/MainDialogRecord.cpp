// Record: the record dialog's takes go into the current document.
#include <algorithm>

#include "app/LRecordDlgModel.h"
#include "app/MainDialog.h"

bool MainDialog::CmRecord()
{
    if (!current_ && !CmNewFile())
        return false;
    bool recorded = false;
    for (;;) {
        StopPlayback();
        LKVFile& doc = *current_;
        LRecordDlgModel model(doc.audio.sampleRate, doc.audio.channels);
        // Where the take will go, for the crash record that follows it.
        TakeWatcher watcher;
        watcher.owner = this;
        watcher.doc = &doc;
        {
            const int32_t length = doc.audio.GetLength();
            watcher.start = std::clamp(doc.HasSelection() ? doc.pos.selStart : doc.pos.cursor, 0, length);
            watcher.end = doc.HasSelection() ? std::clamp(doc.pos.selEnd, watcher.start, length) : watcher.start;
        }
        model.SetTakeWatcher(&watcher);
        const int32_t result = LUiGet().RecordDialog(model);
        model.StopTake();
        model.SetTakeWatcher(nullptr);
        model.StoreSettings();
        if (result == 0 || !model.HasRecording()) {
            // The record held the takes; the document is as it was.
            RecordDocument(doc);
            return recorded;
        }
        const LCutListAudio take = model.Recorded();
        StartModifyCurrentFile("Record");
        // Over the selection, or at the cursor when there is none.
        const int32_t length = doc.audio.GetLength();
        const int32_t start = std::clamp(doc.HasSelection() ? doc.pos.selStart : doc.pos.cursor, 0, length);
        const int32_t end = doc.HasSelection() ? std::clamp(doc.pos.selEnd, start, length) : start;
        doc.audio.EfReplace(start, end, take);
        const int32_t newEnd = int32_t(std::min<int64_t>(int64_t(start) + take.GetLength(), INT32_MAX));
        doc.pos.viewStart = 0;
        doc.pos.viewEnd = doc.audio.GetLength();
        SetSelection(start, newEnd, start);
        RecordDocument(doc);
        if (view_)
            view_->ShowWholeDocument(doc);
        recorded = true;
        if (result != 2)
            return true;
        // Record Next: the next take goes in after this one.
        SetSelection(newEnd, newEnd, newEnd);
    }
}
