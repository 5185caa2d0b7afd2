#pragma once
// Texts and lists shared by the main window's command files.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "core/LUi.h"

inline constexpr char kAppCaption[] = "Kelvane";
inline constexpr char kErrorCaption[] = "Error";
inline constexpr char kFileVersionMessage[] =
    "This file does not have the same version with the current Kelvane version or it is corrupted.";
inline constexpr char kReplaceFileQuestion[] =
    "Another file with the same name already exists. Do you want to replace it?";

// The type list of the audio open and save dialogs, ending with "All Files".
std::vector<LUiFileFilter> LKVAudioFileFilters();
// The type list of the project dialogs.
std::vector<LUiFileFilter> LKVProjectFileFilters();

// Tells the user that a typed name does not fit a 260-byte field.
void LKVNameTooLong();

// Erases the valid, distinct `indexes` of `items`; false when none was valid.
template <class List>
bool LKVEraseIndexes(List& items, std::vector<size_t> indexes)
{
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    bool erased = false;
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it)
        if (*it < items.size()) {
            items.erase(items.begin() + std::ptrdiff_t(*it));
            erased = true;
        }
    return erased;
}
