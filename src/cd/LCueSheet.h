#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A CUE sheet in the CDRWIN form: FILE lines naming BINARY files of raw sectors
// (audio as 2352-byte sectors of little-endian 16-bit stereo), TRACK nn AUDIO,
// MODE1/2048 or MODE1/2352, INDEX nn mm:ss:ff relative to the file, PREGAP and
// POSTGAP (silence that is not in the file), TITLE and PERFORMER. Only the text:
// LCDImage lays it out over the files.
class LCueSheet {
public:
    enum class Mode : uint8_t { Audio, Mode1_2048, Mode1_2352 };
    struct Index {
        uint8_t number = 0;
        int32_t frame = 0;  // sectors from the start of the track's file
    };
    struct Track {
        uint8_t number = 0;
        Mode mode = Mode::Audio;
        int32_t file = 0;      // into files
        int32_t pregap = 0;    // PREGAP sectors, generated as silence
        int32_t postgap = 0;   // POSTGAP sectors, generated as silence
        std::vector<Index> indexes;  // ascending; INDEX 01 always present
        std::string title, performer;
        int32_t line = 0;      // where the TRACK line is, for messages
        // The frame of INDEX `number` in the file, or -1.
        int32_t IndexFrame(uint8_t number) const;
    };
    struct File {
        std::string name;      // as written, unquoted
        int32_t line = 0;
    };

    std::vector<File> files;
    std::vector<Track> tracks;
    std::string title, performer;

    // Reads the sheet's text. False with `error` saying where and what
    // ("line 4: INDEX 01 before its TRACK"); never throws, whatever the bytes.
    static bool Parse(const std::string& text, LCueSheet& sheet, std::string& error);
    // The sheet as text, in the form Parse reads back to the same sheet.
    std::string Write() const;

    // Bytes of one sector of a track of `mode` in its file.
    static int32_t SectorBytes(Mode mode) { return mode == Mode::Mode1_2048 ? 2048 : 2352; }
    static const char* ModeName(Mode mode);
};
