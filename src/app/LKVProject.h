#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/LKVBookMark.h"
#include "app/LKVRegion.h"
#include "core/LProgressDialog.h"
#include "edit/LKVFile.h"

// What a project restores: the documents with their audio and positions, the
// current one, the bookmarks and the regions with their audio.
struct LKVProjectContents {
    std::vector<std::unique_ptr<LKVFile>> documents;
    int32_t currentIndex = -1;  // -1: no document is current
    LKVBookMarkList bookmarks;
    LKVRegionList regions;
};

// The project file (".kvp"): version byte 1; the document count and, per
// document, its 540-byte record and its audio block; the current document's
// index; the bookmarks grouped by document; the regions, each with its audio.
// An audio block is the rate (4 bytes), the channel count (1), the length in
// frames (4) and the frames as the cut list reads them, 4 bytes per value.
// Counts are single bytes, so a project holds at most 255 of each kind.
class LKVProject {
public:
    static constexpr uint8_t kVersion = 1;
    static constexpr size_t kDocumentRecordSize = 540;

    struct SaveData {
        std::vector<const LKVFile*> documents;  // in the main window's order
        const LKVFile* current = nullptr;
        const LKVBookMarkList* bookmarks = nullptr;
        const LKVRegionList* regions = nullptr;
        std::string path;
    };

    // Empty when the project can be written as it is; otherwise the message that
    // says why not (too many documents, bookmarks or regions for a one-byte
    // count, or a path or name too long for its field). A project is never
    // written with items left out or texts cut.
    static std::string CheckSave(const SaveData& data);

    // The job that writes the project (title "Saving Project"). The file is put in
    // place only when complete, so a failure or a cancel leaves an older project
    // untouched. kJobFailed also when CheckSave refuses.
    //
    // Bookmarks are written grouped by document; bookmarks of files that are no
    // longer open follow, so the count byte always matches the records. The
    // k-th untitled document is written as it will be named when the project is
    // loaded ("Untitled k"), and its bookmarks and regions with it, so they stay
    // attached to it.
    static int32_t Save(LProgressDialog& dialog, const SaveData& data);

    // The job that reads a project (title "Loading Project") into `contents`,
    // which must be empty. Each audio block becomes a new segment of the tank.
    // Any fault (a version other than 1, a short record or block, an impossible
    // rate, channel count or length) fails; on any result other than kJobDone
    // `contents` is emptied again and its segments released.
    static int32_t Load(LProgressDialog& dialog, const std::string& path, LKVProjectContents& contents);

    // The untitled number the k-th (from 0) untitled document of a loaded project
    // gets: k + 1, or 1 past 19 as for new documents.
    static int32_t UntitledNumberOnLoad(size_t k);
};
