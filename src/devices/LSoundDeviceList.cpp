#include "devices/LSoundDeviceList.h"

#include "devices/LAudioDevices.h"
#include "devices/LMixer.h"

std::string LSoundPlayDevice::Text(int32_t n)
{
    return n == 0 ? "[Default Sound Out]" : LAudioDevices::OutputName(n - 1);
}

std::vector<std::string> LSoundPlayDevice::List()
{
    std::vector<std::string> list;
    const int32_t count = LAudioDevices::OutputCount();
    for (int32_t n = 0; n <= count; ++n)
        list.push_back(Text(n));
    return list;
}

std::string LSoundRecordDevice::Text(int32_t n)
{
    return n == 0 ? "[Default Sound In]" : LAudioDevices::InputName(n - 1);
}

std::vector<std::string> LSoundRecordDevice::List()
{
    std::vector<std::string> list;
    const int32_t count = LAudioDevices::InputCount();
    for (int32_t n = 0; n <= count; ++n)
        list.push_back(Text(n));
    return list;
}

std::vector<std::string> LSoundRecordDevice::InputLines(int32_t n)
{
    std::vector<std::string> lines;
    const int32_t count = LMixer::GetInputChannelCount(n);
    for (int32_t line = -1; line < count; ++line)
        lines.push_back(LMixer::GetInputChannelName(n, line));
    return lines;
}

int32_t LDeviceChoice(int32_t stored, size_t entries)
{
    return stored >= 0 && size_t(stored) < entries ? stored : 0;
}
