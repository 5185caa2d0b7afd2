#include "edit/LKVFile.h"

#include "core/LFile.h"

std::string LKVFile::GetTitle() const
{
    if (!path.empty())
        return GetFileFromPath(path);
    return title.empty() ? "Untitled " + std::to_string(untitledNumber) : title;
}

std::string LKVFile::GetPathOrTitle() const
{
    return path.empty() ? GetTitle() : path;
}

void LKVFile::SaveUndo(const std::string& name)
{
    undoIndex_ = (undoIndex_ + 1) % kUndoLevels;
    UndoRecord& r = undo_[undoIndex_];
    r.audio.Clear();
    r.modified = modified;
    r.audio = audio;
    r.positions = pos;
    r.name = name;
    modified = true;
}

bool LKVFile::Undo()
{
    UndoRecord& r = undo_[undoIndex_];
    if (r.name.empty())
        return false;
    modified = r.modified;
    audio = std::move(r.audio);
    r.audio.Clear();
    pos = r.positions;
    r.name.clear();
    undoIndex_ = (undoIndex_ + kUndoLevels - 1) % kUndoLevels;
    return true;
}
