#pragma once
#include <cstdint>
#include <string>

// The rules of the settings dialog's working folder ("WorkingFolder"): the
// folder of the segment files, read once when the editor starts.
namespace LKVWorkingFolder {

inline constexpr char kMissingMessage[] = "The working folder that you entered does not exist. Please try again.";
inline constexpr char kShutDownMessage[] =
    "Kelvane will now close because you changed the audio working folder.\r\rPlease re-run Kelvane to start with "
    "the new folders.";
inline constexpr char kShutDownCaption[] = "Shut Down Required";

enum class Change : uint8_t {
    Unchanged,  // nothing to do
    Missing,    // refused: the folder does not exist
    Changed,    // stored; the editor must restart to use it
};

// What entering `typed` does against the stored value (empty: the default
// folder). Surrounding blanks and a trailing "/" do not make a change.
Change Check(const std::string& typed, const std::string& stored);
// `typed` as it is stored.
std::string Normalize(const std::string& typed);

} // namespace LKVWorkingFolder
