#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "edit/LCutListAudio.h"

// One open audio document: its path, its audio as a cut list, cursor, selection,
// visible range, the modified flag, a ring of eight undo levels and the redo
// list the undone levels move to. An undo level is a copy of the cut list, so
// saving and restoring one costs no audio I/O.
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
    // record (overwriting the oldest), marks the document modified and empties
    // the redo list: a new edit leaves nothing to redo.
    void SaveUndo(const std::string& name);
    // Restores the newest undo level; false when there is none. The state it
    // replaces becomes the newest redo level, under the same name.
    bool Undo();
    // Restores the newest redo level (the state the last Undo replaced, cut for
    // cut, with its positions); false when there is none. The state it replaces
    // becomes an undo level again, so Undo and Redo can alternate.
    bool Redo();
    // The record the next Undo restores.
    const UndoRecord& NextUndo() const { return undo_[undoIndex_]; }
    // The name of the level the next Redo restores; empty when there is none.
    std::string NextRedoName() const { return redo_.empty() ? std::string() : redo_.back().name; }
    size_t RedoLevels() const { return redo_.size(); }
    // The document was written to its file: not modified any more, and a state
    // that Redo brings back differs from that file.
    void MarkSaved();

private:
    // Stores the document's state into the next undo record without touching
    // the redo list.
    void PushUndo(const std::string& name);

    std::array<UndoRecord, kUndoLevels> undo_;
    uint32_t undoIndex_ = 0;
    // Newest last; never more than the undo levels that could produce them.
    std::vector<UndoRecord> redo_;
};
