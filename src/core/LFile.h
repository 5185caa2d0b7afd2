#pragma once
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// An open file, closed by the destructor. Reads and writes loop over partial
// transfers and return the bytes actually moved; offsets are 64-bit.
class LFile {
public:
    enum class Mode : uint8_t {
        Read,          // existing file, read only
        ReadPlain,     // existing plain file, read only: FIFOs, sockets and devices
                       // are refused (errno ENXIO) without waiting for a writer
        ReadWrite,     // existing file
        Create,        // create or truncate, read and write
        OpenAlways,    // create when missing, keep contents, read and write
    };

    LFile() = default;
    ~LFile();
    LFile(LFile&& other) noexcept;
    LFile& operator=(LFile&& other) noexcept;
    LFile(const LFile&) = delete;
    LFile& operator=(const LFile&) = delete;

    bool Open(const std::string& path, Mode mode);
    // False (with errno) when the system reported a failure on closing: data that
    // did not reach the file (a full disk on a network or quota file system).
    bool Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }

    // Bytes read (fewer at the end of the file; 0 on error).
    int32_t Read(void* buffer, int32_t bytes);
    // Reads at `offset` without moving the file pointer; bytes read.
    int32_t ReadAt(int64_t offset, void* buffer, int32_t bytes);
    // Bytes written; fewer means the disk is full or the file failed.
    int32_t Write(const void* buffer, int32_t bytes);
    // Moves the file pointer to `offset` from the start; ignored on a closed file.
    bool Seek(int64_t offset);
    // Skips `bytes` forward from the current position.
    bool Skip(int64_t bytes);
    int64_t Tell() const;
    // Size in bytes; 0 when it cannot be read.
    int64_t GetFileSizeBytes() const;
    // Cuts the file at the current position.
    bool SetEndOfFile();
    bool Flush();

private:
    int fd_ = -1;
};

// Writes all `bytes` to a descriptor, retrying partial writes and interrupts;
// returns the bytes written (fewer on a full disk or a closed pipe).
int32_t WriteAll(int fd, const void* buffer, int32_t bytes);

// Replaces the file at `path` with `bytes` so that a crash or a full disk leaves
// either the old file or the new one, never a mixture: a temporary file of a
// name of its own (CreateLockedTempFile) beside it is written (and with `sync` flushed to the disk), then renamed over `path`, and
// the folder is synced so the rename itself survives a power cut. False (with the
// old file untouched and the temporary file removed) when any step fails.
// Without `sync` the new file is complete for every process at once but reaches
// the disk when the system writes it back, or when the caller syncs it.
bool WriteFileAtomically(const std::string& path, const void* bytes, size_t size, bool sync = true);
// Flushes the file at `path` and its folder to the disk; false when it cannot.
bool SyncFileAndFolder(const std::string& path);
// Flushes the entries of `folder` (a rename into it) to the disk; false when it cannot.
bool SyncFolder(const std::string& folder);

// A new empty file in `folder` named `prefix` and six random characters. It is
// created exclusively, so an existing name (a planted symbolic link among them)
// is never opened; mode 0600, close-on-exec; and it is locked (flock) for as
// long as this descriptor or a copy of it (a child's) stays open, which lets
// LTempOutput::RemoveAbandoned tell a live writer's file from a dead one's.
// Returns the descriptor and sets `path`; -1 with errno.
int CreateLockedTempFile(const std::string& folder, const std::string& prefix, std::string& path);
// The mode for a file written in place of `path`: the mode of the file it
// replaces, else the mode a new file gets under the process's umask.
mode_t ReplacementFileMode(const std::string& path);
// The names of the entries of `folder` (not "." or ".."), in no particular order.
std::vector<std::string> ListFolder(const std::string& folder);

// Path helpers. "/" joins; splitting accepts "/" and "\".
std::string FilePathCat(const std::string& path, const std::string& name);
// Replaces the extension (from the last "." after the last separator) or appends `ext`.
std::string ApplyNewFileExtension(const std::string& path, const std::string& ext);
std::string GetFolderFromPath(const std::string& path);
std::string GetFileFromPath(const std::string& path);
// The extension with its dot (".wav"), or empty.
std::string GetFileExtension(const std::string& path);
// Deletes the files of `folder` whose names do not begin with "." (not recursive),
// then the folder; true when the folder is gone.
bool DeleteFolderAndFiles(const std::string& folder);
// Creates `folder` and its parents when missing; true when it exists afterwards.
bool CreateFolders(const std::string& folder);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// The folder for temporary files: $TMPDIR, else /tmp.
std::string GetTempFolder();
