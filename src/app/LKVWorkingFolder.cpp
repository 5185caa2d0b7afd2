#include "app/LKVWorkingFolder.h"

#include "core/LFile.h"

namespace LKVWorkingFolder {

std::string Normalize(const std::string& typed)
{
    const auto first = typed.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    std::string t = typed.substr(first, typed.find_last_not_of(" \t") - first + 1);
    while (t.size() > 1 && t.back() == '/')
        t.pop_back();
    return t;
}

Change Check(const std::string& typed, const std::string& stored)
{
    const std::string t = Normalize(typed);
    if (t == Normalize(stored))
        return Change::Unchanged;
    if (!t.empty() && !FolderExists(t))
        return Change::Missing;
    return Change::Changed;
}

} // namespace LKVWorkingFolder
