#pragma once
#include <string>

// Marks a document as open in this process: an exclusive advisory lock on the
// document's ".lck" file, which is removed when the lock is released.
class LLockFile {
public:
    LLockFile() = default;
    ~LLockFile() { Unlock(); }
    LLockFile(const LLockFile&) = delete;
    LLockFile& operator=(const LLockFile&) = delete;

    // Releases any lock held, then locks `documentPath`. False only when another
    // holder has the lock (the document is open elsewhere); other failures, such as
    // a read-only folder, return true so that the document still opens.
    bool Lock(const std::string& documentPath);
    void Unlock();
    bool IsLocked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    std::string path_;
};
