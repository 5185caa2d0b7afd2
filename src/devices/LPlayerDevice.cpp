#include "devices/LPlayerDevice.h"

#include "devices/LAudioDevices.h"

LPlayerDevice::LPlayerDevice() { player_.notify = this; }

LPlayerDevice::~LPlayerDevice()
{
    player_.Stop();
    player_.notify = &player_;
}

bool LPlayerDevice::Start(LSoundSource source, int32_t device)
{
    player_.device = device;
    return player_.Start(std::move(source), 0);
}

uint32_t LPlayerDevice::GetVolume(int32_t device) const { return LAudioDevices::GetOutputVolume(device - 1); }

void LPlayerDevice::SetVolume(int32_t device, uint32_t volume) { LAudioDevices::SetOutputVolume(device - 1, volume); }
