#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cd/LCDBurnAudioSCSI.h"
#include "cd/LCDBurnSettings.h"
#include "cd/LCDRecorder.h"

// What the audio CD dialog edits and does, without its widgets: the tracks (in
// order, each with a title and its audio), the "CDRecorder" settings, the
// drives that can write and the disc in the chosen one, the total against the
// disc's capacity, and the burn itself. The command line burns through it too.
// User-interface thread only; the burn runs the recorder on a worker thread.
class LCDBurnDlgModel {
public:
    struct Drive {
        std::string label;   // "CD-ROM 1 - KELVANE Virtual CD-RW (cdr:/discs/a)"
        bool canWrite = false;
        std::string error;   // why it cannot be used, or empty
    };
    struct Disc {
        std::string description;  // "blank CD-R, 80 min", "no disc", ...
        bool present = false;     // a disc that can be written on is in the drive
        int32_t capacitySectors = 0;
        LCDCapacitySource source = LCDCapacitySource::Assumed;
    };

    // The stored settings.
    LCDBurnDlgModel();

    LCDBurnSettings settings;
    std::string albumTitle;  // CD-TEXT with "DiscAtOnce"

    const std::vector<LCDBurnTrack>& Tracks() const { return tracks_; }
    // Appends a track; `source` in any rate and channels.
    void AddTrack(const std::string& title, const LSoundSource& source);
    // Appends a file in any format Kelvane opens, titled after its name without
    // the extension. False when it cannot be opened; the opener has said why
    // while `askOnce` allowed it.
    bool AddFile(const std::string& path, uint8_t* askOnce);
    void RemoveTrack(size_t index);
    // Moves a track one place up (-1) or down (+1); false at the ends.
    bool MoveTrack(size_t index, int32_t step);
    void RenameTrack(size_t index, const std::string& title);
    // A track's frames and length on the disc (44100 Hz).
    int32_t TrackFrames(size_t index) const { return frames_[index]; }
    std::string TrackDuration(size_t index) const;
    // Sectors the tracks take: the pauses of two seconds between them included
    // unless the disc is written at once.
    int32_t SectorsNeeded() const;
    std::string TotalText() const;

    // The drives, asked what they can do (each is opened).
    std::vector<Drive> Drives();
    // Whether any drive can write; false also without drives.
    bool AnyRecorder();
    // What is in the drive of settings.drive, and its capacity.
    Disc ProbeDisc();
    // "Total 0:07:32 of 1:19:59 (from the disc's ATIP)", or "Total 0:07:32" without a disc.
    std::string TotalAgainst(const Disc& disc) const;

    // Writes the tracks: with "Internal" the recorder of settings.drive on a
    // worker thread under the progress window ("No recordable CD detected" when
    // no drive can write), else the WAV files and CUE sheet in
    // settings.trackFolder. Shows what went wrong, or what there is to know
    // afterwards (verification, a test write, where the files went). Returns the
    // job's result; the settings are not stored here.
    int32_t Burn();
    // What the last Burn() found out.
    const LCDBurnAudioSCSI::Data& LastRun() const { return last_; }

    static constexpr const char* kNoRecorder = "No recordable CD detected";
    static constexpr const char* kTitle = "Writing Audio CD";

private:
    std::vector<LCDBurnTrack> tracks_;
    std::vector<int32_t> frames_;
    LCDBurnAudioSCSI::Data last_;
};
