#pragma once
#include <cstdint>
#include <string>

#include "cd/LCDBurnAudioSCSI.h"

class LProgressDialog;

// With "Internal" off the tracks are not written by Kelvane: they are saved as
// WAV files of the disc's format (44100 Hz, 16 bits, stereo), "Track 01.wav",
// "Track 02.wav", ..., with the CUE sheet "disc.cue" beside them (two-second
// pauses, or none with "DiscAtOnce"; the titles as TITLE lines) in the folder
// of the setting "TrackFolder", for any CD writing program to burn.
class LCDBurnToFolder {
public:
    // The job, under the progress line "Copy Audio Files": 0 done, 1 cancelled,
    // 2 failed with data.message set (data.report names the folder when done).
    // Files of an earlier run are replaced.
    static int32_t Process(LProgressDialog& dialog, LCDBurnAudioSCSI::Data& data);
    // "Track 01.wav" for the first track.
    static std::string TrackFileName(size_t index);
    // The CUE sheet of the saved tracks.
    static std::string CueSheet(const LCDBurnAudioSCSI::Data& data);

    static constexpr const char* kCueName = "disc.cue";
};
