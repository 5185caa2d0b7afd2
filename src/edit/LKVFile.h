#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "edit/LCutListAudio.h"

// One open audio document: its path, its audio as a cut list, cursor, selection,
// visible range, the modified flag and a ring of eight undo levels. An undo level
// is a copy of the cut list, so saving and restoring one costs no audio I/O.
// Used on the user-interface thread only.
class LKVFile {
public:
    static constexpr int32_t kUndoLevels = 8;

    struct Positions {
        int32_t cursor = 0;
        int32_t selStart = 0;
        int32_t selEnd = 0;  // exclusive
        int32_t viewStart = 0;
        int32_t viewEnd = 0;
        friend bool operator==(const Positions&, const Positions&) = default;
    };

    struct UndoRecord {
        LCutListAudio audio;
        bool modified = false;
        Positions positions;
        std::string name;  // empty: the record is empty
    };

    std::string path;          // empty for a new document
    std::string previousPath;  // the path before the last Save As
    Positions pos;
    bool modified = false;
    uint8_t verticalZoom = 0;
    uint8_t displayMode = 0;
    int32_t untitledNumber = 0;
    // The name of a document that has no file yet but a name of its own (a
    // track loaded from a CD); shown in place of "Untitled %d".
    std::string title;
    LCutListAudio audio;

    bool HasSelection() const { return pos.selStart < pos.selEnd; }
    // The file name, else the title, else "Untitled %d".
    std::string GetTitle() const;
    // The whole path, else the title, else "Untitled %d".
    std::string GetPathOrTitle() const;

    // Saves the state before a modification named `name` into the next undo
    // record (overwriting the oldest) and marks the document modified.
    void SaveUndo(const std::string& name);
    // Restores the newest undo level; false when there is none.
    bool Undo();
    // The record the next Undo restores.
    const UndoRecord& NextUndo() const { return undo_[undoIndex_]; }

private:
    std::array<UndoRecord, kUndoLevels> undo_;
    uint32_t undoIndex_ = 0;
};
