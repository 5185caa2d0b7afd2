#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/LKVRecoveryRecord.h"
#include "edit/LRecordTarget.h"

class LKVTakeKeeper;
class LKVRecordSyncer;

// The crash records of the editor's open documents, one file per document in
// the working folder (extension kExtension), replaced atomically after every
// change and removed when the document is saved or closed. A record is in
// place for every process the moment Write returns, so it survives the editor
// crashing; the flush to the disk, which can take tens of milliseconds, runs on
// a thread of its own so that no edit waits for it. Active only when
// this process owns a shared working folder (the editor); with a private tank
// (command-line tool, tests) it does nothing. User-interface thread only,
// except for the take keeper's own thread.
class LKVRecovery {
public:
    static constexpr const char* kExtension = ".kvr";
    static constexpr const char* kQuestion = "Kelvane did not close properly. Recover the unsaved files?";

    // How often a recording's record is brought up to date (and its segment
    // synced to disk), in ms. Tests shorten it.
    static int32_t takeIntervalMs;

    LKVRecovery();
    ~LKVRecovery();
    LKVRecovery(const LKVRecovery&) = delete;
    LKVRecovery& operator=(const LKVRecovery&) = delete;

    bool Active() const { return active_; }

    // Writes the record of `doc` with its marks; false when it could not be
    // written (the previous record stays as it was).
    bool Write(const LKVFile& doc, const LKVBookMarkList& bookmarks, const LKVRegionList& regions);
    bool HasRecord(const LKVFile& doc) const { return names_.count(&doc) != 0; }
    void Remove(const LKVFile& doc);
    // Forgets every record of this run (a normal end: nothing to recover).
    void RemoveAll();
    // `doc` carries on under the record file `name` left by an earlier run.
    void Adopt(const LKVFile& doc, const std::string& name) { names_[&doc] = name; }

    // A take starts recording into `doc`, replacing [start, end): until
    // TakeEnded the document's record holds what the target's sink has written,
    // brought up to date every takeIntervalMs on a thread of its own.
    void TakeStarted(const LKVFile& doc, int32_t start, int32_t end, const LRecordTarget& target,
                     const LKVBookMarkList& bookmarks, const LKVRegionList& regions);
    // The take's sink has been released: one last record with all of it.
    void TakeEnded();

    // What an earlier run left: the record files found, read and decoded.
    struct Left {
        std::string name;  // file name in the working folder
        LKVRecoveryRecord record;
    };
    // At start-up, before any segment exists, in a working folder this process
    // owns: reads the records left there, reserves every segment they name
    // (LAudioCutTank::ReserveSegments), deletes the segment files nothing names
    // and the records that cannot be read. Empty without a shared folder.
    static std::vector<Left> Collect();
    // Deletes the record files of `left` and drops their segment references.
    static void Discard(const std::vector<Left>& left);

    // Audio a record names that the working folder no longer holds: a segment
    // file that is missing, or shorter than a cut of it reaches. Such stretches
    // read as silence once recovered.
    struct Lost {
        std::string owner;   // the document's path or "Untitled %d"; for a region, its name in quotes
        int32_t sampleRate = 44100;
        std::vector<std::pair<int32_t, int32_t>> frames;  // [start, end) within the document or region
    };
    // The stretches lost from each document and region of `left` (after
    // Collect), in record order; empty when everything is there.
    static std::vector<Lost> FindLost(const std::vector<Left>& left);
    // What FindLost found, one line each: owner, then every stretch as
    // "start-end" in the program's time text.
    static std::string LostText(const std::vector<Lost>& lost);

private:
    std::string PathOf(const LKVFile& doc);

    bool active_ = false;
    std::string folder_;
    std::string session_;  // prefix of this run's record names
    uint32_t serial_ = 0;
    std::unordered_map<const LKVFile*, std::string> names_;
    std::unique_ptr<LKVTakeKeeper> keeper_;
    std::unique_ptr<LKVRecordSyncer> syncer_;
};
