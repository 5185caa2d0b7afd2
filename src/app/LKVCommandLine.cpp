#include "app/LKVCommandLine.h"

#include <strings.h>
#include <unistd.h>

#include "core/LFile.h"

namespace {

bool IsProject(const std::string& path) { return strcasecmp(GetFileExtension(path).c_str(), ".kvp") == 0; }

// A path typed relative to the folder the program was started in. A second
// instance must resolve it before handing it over: the first one runs elsewhere.
std::string Absolute(const std::string& path)
{
    if (path.empty() || path[0] == '/')
        return path;
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd))
        return path;
    return FilePathCat(cwd, path);
}

} // namespace

LKVStartAction LKVFirstInstanceAction(const std::vector<std::string>& args)
{
    if (args.size() >= 2)
        return {LKVStartAction::Kind::AddToBatch, Absolute(args[1])};
    if (args.size() == 1) {
        if (args[0] == "/install")
            return {LKVStartAction::Kind::InstallPrompt, {}};
        if (args[0].empty())
            return {};
        return {IsProject(args[0]) ? LKVStartAction::Kind::OpenProject : LKVStartAction::Kind::OpenFile,
                Absolute(args[0])};
    }
    return {};
}

LKVForward LKVSecondInstanceForward(const std::vector<std::string>& args)
{
    if (args.size() >= 2)
        return {kLKVMsgAddToBatch, Absolute(args[1])};
    if (args.size() == 1 && args[0] != "/install" && !args[0].empty())
        return {kLKVMsgOpenFile, Absolute(args[0])};
    return {};
}
