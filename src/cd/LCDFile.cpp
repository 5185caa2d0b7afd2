#include "cd/LCDFile.h"

#include <algorithm>

#include "cd/LCDIsoNames.h"

LCDFile::LCDFile(const std::string& path, bool directory) : isDirectory(directory), sourcePath(path)
{
    if (path.empty())
        return;
    std::string name = path;
    while (name.size() > 1 && name.back() == '/')
        name.pop_back();
    // Only "/" separates: a backslash is a character of a Linux file name.
    const size_t slash = name.rfind('/');
    if (slash != std::string::npos && name.size() > 1)
        name = name.substr(slash + 1);
    posixName = name;
    shortName = LCDIsoNames::ShortName(name);
    longName = LCDIsoNames::JolietName(name);
}

LCDFile* LCDFile::AddSubFile(std::unique_ptr<LCDFile> child)
{
    if (!isDirectory || !child)
        return nullptr;
    using namespace LCDIsoNames;
    auto shortTaken = [this](const std::string& n) {
        return std::any_of(children.begin(), children.end(), [&](const auto& c) { return c->shortName == n; });
    };
    auto longTaken = [this](const std::u16string& n) {
        return std::any_of(children.begin(), children.end(), [&](const auto& c) { return c->longName == n; });
    };
    int32_t k = 2;
    if (shortTaken(child->shortName)) {
        const std::string base = child->shortName;
        for (;; ++k) {
            if (k >= kMaxCounter)
                return nullptr;
            const std::string n = WithCounter(base, 8 - Digits(k), std::to_string(k));
            if (!shortTaken(n)) {
                child->shortName = n;
                break;
            }
        }
        if (k > 2)
            --k;
    }
    if (longTaken(child->longName)) {
        const std::u16string base = child->longName;
        const size_t dot = base.rfind(u'.');
        const size_t extension = dot == std::u16string::npos ? 0 : base.size() - dot;
        for (;; ++k) {
            if (k >= kMaxCounter)
                return nullptr;
            const std::string digits = "~" + std::to_string(k);
            // 57 - digits(k) leaves room for a three-letter extension; a longer
            // one takes from the title so that the name stays within 64.
            size_t titleMax = 57 - Digits(k);
            if (extension + digits.size() + titleMax > kJolietMax)
                titleMax = extension + digits.size() < kJolietMax ? kJolietMax - extension - digits.size() : 0;
            const std::u16string n = WithCounter(base, titleMax, std::u16string(digits.begin(), digits.end()));
            if (!longTaken(n)) {
                child->longName = n;
                break;
            }
        }
    }
    child->parent = this;
    LCDFile* added = child.get();
    auto at = std::upper_bound(children.begin(), children.end(), added->shortName,
                               [](const std::string& n, const auto& c) { return n < c->shortName; });
    children.insert(at, std::move(child));
    return added;
}

bool LCDFile::RemoveSubFile(const LCDFile* child)
{
    auto it = std::find_if(children.begin(), children.end(), [&](const auto& c) { return c.get() == child; });
    if (it == children.end())
        return false;
    children.erase(it);
    return true;
}
