#pragma once
#include <string>
#include <vector>

#include "app/LKVBatchCatalogue.h"

// The command list of the batch converter as a document the command page edits:
// its script path ("" for "Untitled.kvb"), a modified flag, and the New, Open,
// Save and Save As commands with their questions, asked through LUi.
class LKVScriptDocument {
public:
    std::vector<LKVCommand> commands;

    const std::string& Path() const { return path_; }
    // The name shown: the script's file name, or "Untitled.kvb".
    std::string Title() const;
    bool Modified() const { return modified_; }
    // Every change of the list goes through here (or calls Touch).
    void Add(uint32_t index);
    void Remove(size_t position);
    void Move(size_t from, size_t to);
    void Touch() { modified_ = true; }

    // False when the user cancelled at the save question or in a file dialog.
    bool New();
    bool Open();
    // Opens `path` directly (a file dialog's answer); false with the message shown.
    bool OpenPath(const std::string& path);
    bool Save();
    bool SaveAs();

private:
    // "Do you want to save the command list?" when there is something to keep.
    bool AskToSave();
    bool WriteTo(const std::string& path);

    std::string path_;
    bool modified_ = false;
};

// The output page's Finish checks: stores the options, then a missing chosen
// folder is offered for creation ("The folder  "%s" does not exist. Do you want to
// create it now?"), an empty one refused. True when the run may start.
bool LKVBatchOutputFinish(const struct LKVBatchOutput& output);
