#pragma once
#include <string>

// Private tank folders ("kelvane-tank-XXXXXX" under the temporary folder) are
// marked in use by an exclusive flock on their file "tank.lock", held by the
// owning process for its whole life. The kernel frees the lock however the owner
// ends (exit, crash, SIGKILL), so a later process can tell a folder left behind
// from one whose owner still runs.

// The name of the lock file inside a tank folder.
inline constexpr char kTankLockFile[] = "tank.lock";

// The same for private folders of other kinds (the decoders' "kelvane-decode-"):
// `prefix` names the kind; the folder is "<prefix>XXXXXX" with the same lock file.
int LMakeLockedPrivateFolder(const std::string& parent, const char* prefix, std::string& folder);
int LRemoveAbandonedPrivateFolders(const std::string& parent, const char* prefix);

// Makes a fresh tank folder under `parent` and takes its lock. Returns the lock's
// descriptor (close-on-exec, so programs the owner starts do not hold it) with the
// folder's path in `folder`, or -1 when no folder could be made. The lock file is
// locked before it gets its name, so no other process ever sees it free.
int LMakeLockedTankFolder(const std::string& parent, std::string& folder);

// Deletes the tank folders under `parent` whose owner is gone: those whose lock
// this process can take, and those without a lock file that nobody has touched
// for an hour (left by a crash before the lock existed). Only real folders of
// this user are considered. Returns how many were removed.
int LRemoveAbandonedTankFolders(const std::string& parent);
