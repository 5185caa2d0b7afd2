#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One file, folder or symbolic link of a data CD, with the names it gets in
// the ISO 9660 tree (short name) and the Joliet tree (long name), where the
// image puts it, and what Rock Ridge records of it. A folder owns its children,
// kept sorted by short name (byte order) and unique in both trees.
class LCDFile {
public:
    // What Rock Ridge keeps of a file (lstat's view).
    struct Posix {
        uint32_t mode = 0;     // type and permission bits (S_IFREG | 0644, ...)
        uint32_t links = 1;
        uint32_t uid = 0, gid = 0;
        int64_t modified = 0, accessed = 0, changed = 0;  // seconds since 1970
    };

    // A node for `path` (empty for the root); its names come from the path's
    // last component.
    LCDFile(const std::string& path, bool isDirectory);

    // Makes `child`'s names unique among this folder's children and inserts it
    // in sorted place. Returns it, or nullptr when this is not a folder or no
    // unique name was found.
    LCDFile* AddSubFile(std::unique_ptr<LCDFile> child);
    // Removes `child` (and what it holds); false when it is not a child of this.
    bool RemoveSubFile(const LCDFile* child);

    bool isDirectory = false;
    bool isLink = false;          // kept as a link (Rock Ridge); holds no data
    std::string sourcePath;       // the file on disk; empty for the root
    std::string posixName;        // the name on disk (UTF-8), for Rock Ridge
    std::u16string longName;      // the Joliet name
    std::string shortName;        // the ISO 9660 name
    std::string linkTarget;       // a link's target
    Posix posix;
    int32_t location = 0;         // first sector (absolute): data, or the ISO directory extent
    int32_t jolietLocation = 0;   // a folder's Joliet extent
    uint32_t isoBytes = 0;        // a folder's ISO extent, whole sectors
    uint32_t jolietBytes = 0;     // a folder's Joliet extent, whole sectors
    uint16_t directoryNumber = 0; // in the path tables; root 1
    uint32_t size = 0;            // bytes of a file
    LCDFile* parent = nullptr;
    std::vector<std::unique_ptr<LCDFile>> children;

    // The most a counter goes to when making a name unique.
    static constexpr int32_t kMaxCounter = 2000;
    // The ISO name as a record holds it: files end in ";1".
    std::string IsoIdentifier() const { return isDirectory ? shortName : shortName + ";1"; }
    std::u16string JolietIdentifier() const { return isDirectory ? longName : longName + u";1"; }
};
