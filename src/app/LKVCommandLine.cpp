#include "app/LKVCommandLine.h"

#include <strings.h>

#include "core/LFile.h"

namespace {
bool IsProject(const std::string& path) { return strcasecmp(GetFileExtension(path).c_str(), ".kvp") == 0; }
} // namespace

LKVStartAction LKVFirstInstanceAction(const std::vector<std::string>& args)
{
    if (args.size() >= 2)
        return {LKVStartAction::Kind::AddToBatch, args[1]};
    if (args.size() == 1) {
        if (args[0] == "/install")
            return {LKVStartAction::Kind::InstallPrompt, {}};
        if (args[0].empty())
            return {};
        return {IsProject(args[0]) ? LKVStartAction::Kind::OpenProject : LKVStartAction::Kind::OpenFile, args[0]};
    }
    return {};
}

LKVForward LKVSecondInstanceForward(const std::vector<std::string>& args)
{
    if (args.size() >= 2)
        return {kLKVMsgAddToBatch, args[1]};
    if (args.size() == 1 && args[0] != "/install" && !args[0].empty())
        return {kLKVMsgOpenFile, args[0]};
    return {};
}
