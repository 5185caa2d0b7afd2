#include "app/LKVBatchTargets.h"

#include <climits>
#include <cstdlib>
#include <map>
#include <set>
#include <strings.h>
#include <sys/stat.h>
#include <utility>

#include "core/LFile.h"

namespace {

// `path` with its folder resolved; the folder as spelt when it does not exist
// yet (every target of a run then names it the same way).
std::string ResolvedFolderPath(const std::string& path)
{
    const std::string folder = GetFolderFromPath(path);
    char resolved[PATH_MAX];
    if (!::realpath(folder.empty() ? "." : folder.c_str(), resolved))
        return path;
    return FilePathCat(resolved, GetFileFromPath(path));
}

std::string TypeOf(const std::string& path)
{
    const std::string ext = GetFileExtension(GetFileFromPath(path));
    return strcasecmp(ext.c_str(), ".aif") == 0 ? ".aiff" : ext;
}

} // namespace

std::vector<std::string> LKVBatchTargets::Clashes(const std::vector<std::string>& sources,
                                                  const std::vector<std::string>& targets,
                                                  const std::function<std::string(const std::string&)>& shown)
{
    auto show = [&](const std::string& name) { return shown ? shown(name) : name; };
    // Each resolved name with the sources going there, in the order first met.
    std::map<std::string, size_t> slot;
    std::vector<std::pair<std::string, std::vector<std::string>>> groups;
    for (size_t i = 0; i < sources.size() && i < targets.size(); ++i) {
        const auto [at, added] = slot.emplace(ResolvedFolderPath(targets[i]), groups.size());
        if (added)
            groups.push_back({targets[i], {}});
        groups[at->second].second.push_back(sources[i]);
    }
    std::vector<std::string> lines;
    for (const auto& [target, from] : groups) {
        if (from.size() < 2)
            continue;
        std::string names;
        for (size_t k = 0; k < from.size(); ++k)
            names += (k == 0 ? "" : k + 1 == from.size() ? " and " : ", ") + show(from[k]);
        lines.push_back(names + (from.size() == 2 ? " would both" : " would all") + " be saved as " + show(target));
    }
    return lines;
}

int32_t LKVBatchTargets::ReplacedSources(const std::vector<std::string>& sources,
                                         const std::vector<std::string>& targets)
{
    std::set<std::pair<dev_t, ino_t>> written, replaced;
    struct stat st {};
    for (const std::string& target : targets)
        if (::stat(target.c_str(), &st) == 0)
            written.emplace(st.st_dev, st.st_ino);
    for (const std::string& source : sources)
        if (::stat(source.c_str(), &st) == 0 && written.count({st.st_dev, st.st_ino}))
            replaced.emplace(st.st_dev, st.st_ino);
    return int32_t(replaced.size());
}

std::string LKVBatchTargets::InPlaceTarget(const std::string& source, const std::string& target)
{
    struct stat st {};
    if (target != source || ::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return target;
    char resolved[PATH_MAX];
    return ::realpath(target.c_str(), resolved) ? std::string(resolved) : target;
}

bool LKVBatchTargets::SameType(const std::string& source, const std::string& target)
{
    return strcasecmp(TypeOf(source).c_str(), TypeOf(target).c_str()) == 0;
}
