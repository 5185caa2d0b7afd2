#pragma once
#include <string>

// The private folder where this process's decoders write their "Temp%d.wav"
// files: "kelvane-decode-XXXXXX" under the temporary folder, mode 0700, so no
// other user can read a decoded file or plant one for us to read. It is marked
// in use by the same flock'ed lock file as a tank folder (edit/LTankFolderLock.h):
// the folder goes when its owner ends normally, and the next process that makes
// one removes those whose owners were killed.
class LDecoderFolder {
public:
    // This process's folder, made on first use (a child made by fork() makes its
    // own). Empty when it cannot be made; errno then says why.
    static std::string Get();
    // Deletes the folder with what it holds; the next Get() makes a new one. Also
    // done at exit; call it before an _exit().
    static void Release();
};
