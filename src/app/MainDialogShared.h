#pragma once
// Texts and lists shared by the main window's command files.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "core/LUi.h"
#include "edit/LKVFile.h"
#include "effects/LEfDialogChecks.h"

inline constexpr char kAppCaption[] = "Kelvane";
inline constexpr char kErrorCaption[] = "Error";
inline constexpr char kFileVersionMessage[] =
    "This file does not have the same version with the current Kelvane version or it is corrupted.";
inline constexpr char kReplaceFileQuestion[] =
    "Another file with the same name already exists. Do you want to replace it?";

// The type list of the audio open dialogs, ending with "All Files".
std::vector<LUiFileFilter> LKVAudioFileFilters();
// The type list of the audio save dialogs: the same types, less those that can
// only be read (WMA, dictation, RealAudio), and no "All Files".
std::vector<LUiFileFilter> LKVSaveAudioFileFilters();
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

// Asks until the dialog is cancelled or its values pass `check`, showing each
// failure as an "Invalid value" message. The GUI's dialogs check on OK
// themselves; this guards every other implementation of the port.
template <class Ask, class Check>
bool LKVAskChecked(Ask ask, Check check)
{
    for (;;) {
        if (!ask())
            return false;
        const std::string message = check();
        if (message.empty())
            return true;
        LUiGet().Message(message, kInvalidValueCaption, LUiButtons::Ok, LUiIcon::Information);
    }
}

// The pre-rolls of automatic playback after a command: one second or half a second.
inline int32_t LKVOneSecond(const LKVFile& doc) { return doc.audio.sampleRate; }
inline int32_t LKVHalfSecond(const LKVFile& doc) { return doc.audio.sampleRate / 2; }
