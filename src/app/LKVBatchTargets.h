#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The checks a batch run makes on where its files go, before any file is
// converted: two sources that would be saved under one name (the second would
// overwrite the first, and with parallel workers which one survives would be
// chance), and sources that the run would replace. `targets[i]` is where
// `sources[i]` is saved.
class LKVBatchTargets {
public:
    // One line for each output name that more than one source would be saved
    // under ("a/x.wav and b/x.wav would both be saved as out/x.wav"), none when
    // every source has a name of its own. Each name goes through `shown` on its
    // way into a line (a terminal escapes control characters in names). Names
    // are compared as the file system compares them: exactly, after the target's
    // folder is resolved (so "out", "./out" and a link to it are one).
    static std::vector<std::string> Clashes(const std::vector<std::string>& sources,
                                            const std::vector<std::string>& targets,
                                            const std::function<std::string(const std::string&)>& shown = {});

    // How many of the sources some target would replace (the same file however
    // it is spelt: links and relative paths included).
    static int32_t ReplacedSources(const std::vector<std::string>& sources, const std::vector<std::string>& targets);

    // Where a file converted onto itself is written: the file a symbolic link
    // points to, so that the link stays a link and its target gets the result.
    // Any other target is returned as it is.
    static std::string InPlaceTarget(const std::string& source, const std::string& target);

    // Whether saving `source` as `target` keeps its type (".aif" and ".aiff" are
    // one type), so that a run without commands or conversions only copies it.
    static bool SameType(const std::string& source, const std::string& target);
};
