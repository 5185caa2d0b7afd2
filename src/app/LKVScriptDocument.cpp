#include "app/LKVScriptDocument.h"

#include "app/KVBatchConverter.h"
#include "app/LKVScriptFile.h"
#include "core/LFile.h"
#include "core/LUi.h"

namespace {

const std::vector<LUiFileFilter> kScriptFilters = {{"Batch Script File", {"*.kvb"}}};

} // namespace

std::string LKVScriptDocument::Title() const { return path_.empty() ? "Untitled.kvb" : GetFileFromPath(path_); }

void LKVScriptDocument::Add(uint32_t index)
{
    commands.push_back({index, {}});
    modified_ = true;
}

void LKVScriptDocument::Remove(size_t position)
{
    if (position < commands.size()) {
        commands.erase(commands.begin() + long(position));
        modified_ = true;
    }
}

void LKVScriptDocument::Move(size_t from, size_t to)
{
    if (from >= commands.size() || to >= commands.size() || from == to)
        return;
    LKVCommand c = std::move(commands[from]);
    commands.erase(commands.begin() + long(from));
    commands.insert(commands.begin() + long(to), std::move(c));
    modified_ = true;
}

bool LKVScriptDocument::AskToSave()
{
    const bool worthKeeping = path_.empty() ? !commands.empty() : modified_;
    if (!worthKeeping)
        return true;
    switch (LUiGet().Message("Do you want to save the command list?", "Kelvane", LUiButtons::YesNoCancel,
                             LUiIcon::Question)) {
    case LUiAnswer::Yes: return Save();
    case LUiAnswer::No: return true;
    default: return false;
    }
}

bool LKVScriptDocument::New()
{
    if (!AskToSave())
        return false;
    commands.clear();
    path_.clear();
    modified_ = false;
    return true;
}

bool LKVScriptDocument::Open()
{
    if (!AskToSave())
        return false;
    LUiFileRequest request{"Open Batch Script File", GetFolderFromPath(path_), {}, kScriptFilters, false, "kvb"};
    std::string path;
    if (!LUiGet().FileDialog(request, path))
        return false;
    return OpenPath(path);
}

bool LKVScriptDocument::OpenPath(const std::string& path)
{
    std::vector<LKVCommand> loaded;
    switch (LKVScriptFile::Read(path, loaded)) {
    case LKVScriptFile::ReadResult::Ok:
        commands = std::move(loaded);
        path_ = path;
        modified_ = false;
        return true;
    case LKVScriptFile::ReadResult::WrongVersion:
        // The emptied list is no longer the script it was named after: saving
        // it must not overwrite that file with nothing.
        commands.clear();
        path_.clear();
        modified_ = false;
        LUiGet().Message(LKVScriptFile::kVersionMessage, "Kelvane", LUiButtons::Ok, LUiIcon::Exclamation);
        return false;
    case LKVScriptFile::ReadResult::CannotOpen:
        commands.clear();
        path_.clear();
        modified_ = false;
        LUiGet().Message(LKVScriptFile::kCannotOpenMessage, "File Error", LUiButtons::Ok, LUiIcon::Exclamation);
        return false;
    case LKVScriptFile::ReadResult::TooLarge:
        commands.clear();
        path_.clear();
        modified_ = false;
        LUiGet().Message(LKVScriptFile::TooLargeMessage(path), "File Error", LUiButtons::Ok, LUiIcon::Exclamation);
        return false;
    }
    return false;
}

bool LKVScriptDocument::WriteTo(const std::string& path)
{
    if (!LKVScriptFile::Write(path, commands)) {
        LUiGet().Message(LKVScriptFile::kCannotOpenMessage, "File Error", LUiButtons::Ok, LUiIcon::Exclamation);
        return false;
    }
    path_ = path;
    modified_ = false;
    return true;
}

bool LKVScriptDocument::Save() { return path_.empty() ? SaveAs() : WriteTo(path_); }

bool LKVScriptDocument::SaveAs()
{
    for (;;) {
        LUiFileRequest request{"Locate Batch Script File", GetFolderFromPath(path_), Title(), kScriptFilters, true,
                               "kvb"};
        std::string path;
        if (!LUiGet().FileDialog(request, path))
            return false;
        if (!FileExists(path))
            return WriteTo(path);
        switch (LUiGet().Message("Another file with the same name already exists. Do you want to replace it?",
                                 "Kelvane", LUiButtons::YesNoCancel, LUiIcon::Question)) {
        case LUiAnswer::Yes: return WriteTo(path);
        case LUiAnswer::No: continue;  // ask for another name
        default: return false;
        }
    }
}

bool LKVBatchOutputFinish(const LKVBatchOutput& output)
{
    output.Write();
    if (output.sameFolder)
        return true;
    if (output.folder.empty()) {
        LUiGet().Message("Invalid output folder. Please select a folder to save to.", "Kelvane", LUiButtons::Ok,
                         LUiIcon::Exclamation);
        return false;
    }
    if (FolderExists(output.folder))
        return true;
    if (LUiGet().Message("The folder  \"" + output.folder + "\" does not exist. Do you want to create it now?",
                         "Kelvane", LUiButtons::YesNoCancel, LUiIcon::Question) != LUiAnswer::Yes)
        return false;
    if (!CreateFolders(output.folder)) {
        LUiGet().Message("Unable to create folder.", "Kelvane", LUiButtons::Ok, LUiIcon::Exclamation);
        return false;
    }
    return true;
}
