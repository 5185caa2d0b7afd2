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

void LKVFile::PushUndo(const std::string& name)
{
    undoIndex_ = (undoIndex_ + 1) % kUndoLevels;
    UndoRecord& r = undo_[undoIndex_];
    r.audio.Clear();
    r.modified = modified;
    r.audio = audio;
    r.positions = pos;
    r.name = name;
}

void LKVFile::SaveUndo(const std::string& name)
{
    // Releases the redo levels' segment references too.
    redo_.clear();
    PushUndo(name);
    modified = true;
}

bool LKVFile::Undo()
{
    UndoRecord& r = undo_[undoIndex_];
    if (r.name.empty())
        return false;
    // The state being undone, moved rather than copied: the document takes the
    // record's cuts next.
    UndoRecord back;
    back.audio = std::move(audio);
    back.modified = modified;
    back.positions = pos;
    back.name = r.name;
    if (redo_.size() == size_t(kUndoLevels))
        redo_.erase(redo_.begin());
    redo_.push_back(std::move(back));

    modified = r.modified;
    audio = std::move(r.audio);
    r.audio.Clear();
    pos = r.positions;
    r.name.clear();
    undoIndex_ = (undoIndex_ + kUndoLevels - 1) % kUndoLevels;
    return true;
}

bool LKVFile::Redo()
{
    if (redo_.empty())
        return false;
    UndoRecord r = std::move(redo_.back());
    redo_.pop_back();
    PushUndo(r.name);
    modified = r.modified;
    audio = std::move(r.audio);
    pos = r.positions;
    return true;
}

void LKVFile::MarkSaved()
{
    modified = false;
    for (UndoRecord& r : redo_)
        r.modified = true;
}
