#include "cd/LCDDataTree.h"

#include <algorithm>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/LFile.h"

namespace {

LCDFile::Posix PosixOf(const struct stat& st)
{
    LCDFile::Posix p;
    p.mode = st.st_mode;
    p.links = uint32_t(st.st_nlink);
    p.uid = st.st_uid;
    p.gid = st.st_gid;
    p.modified = st.st_mtim.tv_sec;
    p.accessed = st.st_atim.tv_sec;
    p.changed = st.st_ctim.tv_sec;
    return p;
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

} // namespace

LCDDataTree::LCDDataTree(bool rockRidge) : root_(std::make_unique<LCDFile>(std::string(), true)), rockRidge_(rockRidge)
{
    root_->posix.mode = S_IFDIR | 0755;
    root_->posix.links = 2;
    root_->posix.modified = root_->posix.accessed = root_->posix.changed = std::time(nullptr);
}

bool LCDDataTree::Add(const std::string& path, LCDFile* into)
{
    error_.clear();
    LCDFile& folder = into ? *into : *root_;
    if (!folder.isDirectory) {
        error_ = "Files can only be added into a folder of the CD.";
        return false;
    }
    std::vector<Identity> ancestors;
    return AddNode(path, folder, true, ancestors);
}

bool LCDDataTree::AddNode(const std::string& path, LCDFile& into, bool top, std::vector<Identity>& ancestors)
{
    struct stat st {};
    // What the user picked is taken for what it names; inside a folder a link
    // stays a link when Rock Ridge can record it.
    const bool keepLink = rockRidge_ && !top;
    if ((keepLink ? lstat(path.c_str(), &st) : stat(path.c_str(), &st)) != 0) {
        if (top) {
            error_ = "Cannot read " + Quoted(path) + ": it does not exist or cannot be opened.";
            return false;
        }
        notes_.push_back("Cannot read " + Quoted(path) + " (a link to nothing?); it is left out.");
        return true;
    }
    std::unique_ptr<LCDFile> node;
    if (S_ISLNK(st.st_mode)) {
        node = std::make_unique<LCDFile>(path, false);
        node->isLink = true;
        char target[4096];
        const ssize_t n = readlink(path.c_str(), target, sizeof target);
        node->linkTarget.assign(target, n > 0 ? size_t(n) : 0);
    } else if (S_ISDIR(st.st_mode)) {
        const Identity id{uint64_t(st.st_dev), uint64_t(st.st_ino)};
        if (std::any_of(ancestors.begin(), ancestors.end(),
                        [&](const Identity& a) { return a.device == id.device && a.inode == id.inode; })) {
            notes_.push_back("The folder " + Quoted(path) +
                             " leads back into a folder that holds it (a cycle of symbolic links); it is left out.");
            return true;
        }
        node = std::make_unique<LCDFile>(path, true);
    } else if (S_ISREG(st.st_mode)) {
        if (uint64_t(st.st_size) > kMaxFileBytes) {
            error_ = "The file " + Quoted(path) +
                     " is 4 GB or larger. A data CD image (ISO 9660) cannot hold a file of 4 GB or more.";
            return false;
        }
        node = std::make_unique<LCDFile>(path, false);
        node->size = uint32_t(st.st_size);
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            node->size = 0;
            notes_.push_back("The file " + Quoted(path) + " cannot be read; it is written to the CD as an empty file.");
        } else {
            close(fd);
        }
    } else {
        notes_.push_back(Quoted(path) + " is not a file, a folder or a link (a device, a pipe or a socket); it is "
                                        "left out.");
        return true;
    }
    node->posix = PosixOf(st);
    const bool directory = node->isDirectory;
    LCDFile* added = into.AddSubFile(std::move(node));
    if (!added) {
        error_ = "No name could be found for " + Quoted(path) + " on the CD: its folder holds too many alike.";
        return false;
    }
    if (!directory)
        return true;
    DIR* dir = opendir(path.c_str());
    if (!dir) {
        notes_.push_back("The folder " + Quoted(path) + " cannot be read; it is written to the CD empty.");
        return true;
    }
    std::vector<std::string> names;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    ancestors.push_back({uint64_t(st.st_dev), uint64_t(st.st_ino)});
    bool ok = true;
    for (const std::string& name : names)
        if (!AddNode(FilePathCat(path, name), *added, false, ancestors)) {
            ok = false;
            break;
        }
    ancestors.pop_back();
    return ok;
}

bool LCDDataTree::Remove(const LCDFile* node)
{
    if (!node || !node->parent)
        return false;
    return node->parent->RemoveSubFile(node);
}

uint64_t LCDDataTree::TotalBytes() const
{
    uint64_t total = 0;
    std::vector<const LCDFile*> stack{root_.get()};
    while (!stack.empty()) {
        const LCDFile* n = stack.back();
        stack.pop_back();
        total += n->size;
        for (const auto& c : n->children)
            stack.push_back(c.get());
    }
    return total;
}

int32_t LCDDataTree::Count() const
{
    int32_t count = -1;
    std::vector<const LCDFile*> stack{root_.get()};
    while (!stack.empty()) {
        const LCDFile* n = stack.back();
        stack.pop_back();
        ++count;
        for (const auto& c : n->children)
            stack.push_back(c.get());
    }
    return count;
}
