#include "cd/LCDDrives.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "cd/LMmcCommands.h"
#include "cd/LSCSI.h"
#include "cd/LSgTransport.h"
#include "cd/LVirtualDrive.h"
#include "core/LFile.h"
#include "core/LSettings.h"

namespace {

struct State {
    std::mutex mutex;
    std::string sysClassBlock = "/sys/class/block";
    std::unique_ptr<LSgSystem> system;  // null: the real calls
    std::map<std::string, std::shared_ptr<LVirtualDrive>> drives;
};

State& Get()
{
    static State state;
    return state;
}

std::string Trim(const std::string& text)
{
    const size_t a = text.find_first_not_of(" \t\r\n");
    if (a == std::string::npos)
        return {};
    const size_t b = text.find_last_not_of(" \t\r\n");
    return text.substr(a, b - a + 1);
}

std::string ReadSmall(const std::string& path)
{
    LFile f;
    char text[128] = {};
    if (f.Open(path, LFile::Mode::Read))
        f.Read(text, sizeof text - 1);
    return Trim(text);
}

std::string Field(const uint8_t* p, size_t size)
{
    return Trim(std::string(reinterpret_cast<const char*>(p), size));
}

} // namespace

std::vector<std::string> LCDDrives::Split(const std::string& text)
{
    std::vector<std::string> out;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find(',', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string e = Trim(text.substr(at, end - at));
        if (!e.empty() && std::find(out.begin(), out.end(), e) == out.end())
            out.push_back(e);
        at = end + 1;
    }
    return out;
}

std::string LCDDrives::Join(const std::vector<std::string>& entries)
{
    std::string out;
    for (const std::string& e : entries)
        out += (out.empty() ? "" : ",") + e;
    return out;
}

std::vector<std::string> LCDDrives::RealDevices()
{
    std::string root;
    {
        std::lock_guard lock(Get().mutex);
        root = Get().sysClassBlock;
    }
    std::vector<std::pair<int32_t, std::string>> found;
    for (const std::string& name : ListFolder(root)) {
        if (name.size() < 3 || name.size() > 8 || name.compare(0, 2, "sr") != 0 ||
            name.find_first_not_of("0123456789", 2) != std::string::npos)
            continue;
        found.push_back({std::atoi(name.c_str() + 2), "/dev/" + name});
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> out;
    for (const auto& f : found)
        out.push_back(f.second);
    return out;
}

std::vector<std::string> LCDDrives::StoredEntries() { return Split(LSettings::ReadString("CD", "VirtualDrives")); }

std::vector<std::string> LCDDrives::EnvironmentEntries()
{
    const char* env = std::getenv("KELVANE_CD_DRIVES");
    return Split(env ? env : "");
}

std::vector<std::string> LCDDrives::VirtualEntries()
{
    std::vector<std::string> out = StoredEntries();
    for (const std::string& e : EnvironmentEntries())
        if (std::find(out.begin(), out.end(), e) == out.end())
            out.push_back(e);
    return out;
}

int32_t LCDDrives::Count() { return int32_t(RealDevices().size() + VirtualEntries().size()); }

std::shared_ptr<LVirtualDrive> LCDDrives::Virtual(const std::string& entry, std::string& error)
{
    std::lock_guard lock(Get().mutex);
    auto it = Get().drives.find(entry);
    if (it != Get().drives.end())
        return it->second;
    std::shared_ptr<LVirtualDrive> d = LVirtualDrive::Open(entry, error);
    if (d)
        Get().drives[entry] = d;
    return d;
}

std::shared_ptr<LScsiTransport> LCDDrives::Open(int32_t index, std::string& error)
{
    const std::vector<std::string> real = RealDevices();
    if (index >= 0 && size_t(index) < real.size()) {
        LSgSystem system = LSgSystem::Real();
        {
            std::lock_guard lock(Get().mutex);
            if (Get().system)
                system = *Get().system;
        }
        auto t = std::make_shared<LSgTransport>(system);
        if (!t->Open(real[size_t(index)], error))
            return nullptr;
        return t;
    }
    const std::vector<std::string> entries = VirtualEntries();
    const int64_t v = int64_t(index) - int64_t(real.size());
    if (index < 0 || v >= int64_t(entries.size())) {
        error = "There is no CD drive " + std::to_string(index) + " (" + std::to_string(real.size() + entries.size()) +
                " found).";
        return nullptr;
    }
    std::shared_ptr<LVirtualDrive> d = Virtual(entries[size_t(v)], error);
    return d ? d->Connect() : nullptr;
}

std::vector<LCDDrives::Info> LCDDrives::List()
{
    std::vector<Info> out;
    const std::vector<std::string> real = RealDevices(), virt = VirtualEntries();
    std::string root;
    {
        std::lock_guard lock(Get().mutex);
        root = Get().sysClassBlock;
    }
    for (size_t i = 0; i < real.size() + virt.size(); ++i) {
        Info info;
        info.index = int32_t(i);
        info.isVirtual = i >= real.size();
        info.device = info.isVirtual ? virt[i - real.size()] : real[i];
        LSCSI scsi;
        if (!scsi.OpenCDROMDrive(uint8_t(std::min<size_t>(i, 255)))) {
            info.error = scsi.OpenError();
        } else {
            uint8_t d[36] = {};
            const LCdb cdb = LMmcCommands::Inquiry(sizeof d);
            if (scsi.ExecuteCommand(kScsiRead, 5000, sizeof d, d, cdb.bytes, cdb.length) == kScsiOk) {
                info.vendor = Field(d + 8, 8);
                info.model = Field(d + 16, 16);
                info.revision = Field(d + 32, 4);
            } else {
                info.error = "INQUIRY failed: " + scsi.LastError();
            }
        }
        if (!info.isVirtual && info.vendor.empty()) {
            const std::string name = GetFileFromPath(info.device);
            info.vendor = ReadSmall(root + "/" + name + "/device/vendor");
            info.model = ReadSmall(root + "/" + name + "/device/model");
        }
        out.push_back(info);
    }
    return out;
}

std::string LCDDrives::Label(int32_t index) { return "CD-ROM " + std::to_string(index + 1); }

std::string LCDDrives::Describe(const Info& info)
{
    std::string line = Label(info.index) + " -";
    if (!info.vendor.empty())
        line += " " + info.vendor;
    if (!info.model.empty())
        line += " " + info.model;
    line += " (" + info.device + ")";
    return line;
}

void LCDDrives::SetSystemForTest(const std::string& sysClassBlock, const LSgSystem* system)
{
    std::lock_guard lock(Get().mutex);
    Get().sysClassBlock = sysClassBlock.empty() ? "/sys/class/block" : sysClassBlock;
    Get().system = system ? std::make_unique<LSgSystem>(*system) : nullptr;
}

void LCDDrives::ForgetVirtualDrives()
{
    std::lock_guard lock(Get().mutex);
    Get().drives.clear();
}
