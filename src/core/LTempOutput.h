#pragma once
#include <string>

// The file a save writes in place of its target until it is complete.
//
// It lives in a private folder (mode 0700, a name no one can guess: ".kelvane-"
// and six random characters) made beside the target, so the final rename stays
// on one file system and is atomic, and nothing in the folder can be replaced
// by a symbolic link: only this user can create names in it. The file itself
// has a short fixed name with the target's extension (a target name of up to
// 255 bytes still fits), is created exclusively with mode 0600, and gets its
// final mode only when it is renamed. A writer that is another program (an
// encoder) can be given Path() safely.
//
// The folder is locked (flock) while this object holds it, so that
// RemoveAbandoned can remove what a writer killed outright left behind.
class LTempOutput {
public:
    LTempOutput() = default;
    // Abandon() unless committed.
    ~LTempOutput();
    LTempOutput(const LTempOutput&) = delete;
    LTempOutput& operator=(const LTempOutput&) = delete;

    // Makes the private folder beside `target` and the empty file in it; false
    // with errno (the folder cannot be written, ...), leaving nothing behind.
    bool Create(const std::string& target);
    // The file to write: open it by this path, replacing its (empty) contents.
    const std::string& Path() const { return path_; }

    // Flushes the finished file to the disk, gives it the mode of the file it
    // replaces (or of a new file under the umask), renames it over the target and
    // flushes the target's folder, so that a power cut leaves the old file or the
    // whole new one. False with errno when the file could not be flushed or
    // renamed: the target is untouched and the temporary removed.
    bool Commit();
    // Removes the file and the private folder; the target is untouched.
    void Abandon();

    // Removes, in `folder`, what writers that have gone left behind: private
    // folders of saves, temporary files of atomic replacements and the output
    // logs of encoders ("kelvane-encoder-…"), when they belong to this user and
    // no live process holds their lock. An entry still empty is left for a while
    // (its writer may not have locked it yet). Each folder is looked at once per
    // process, so a batch of thousands of files pays once.
    static void RemoveAbandoned(const std::string& folder);

    // How long an empty, unlocked entry is left alone, in seconds.
    static constexpr int kEmptyGraceSeconds = 60;

private:
    std::string target_;
    std::string folder_;  // the private folder
    std::string path_;
    int folderFd_ = -1;   // holds the lock
};
