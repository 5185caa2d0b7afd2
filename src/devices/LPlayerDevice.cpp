#include "devices/LPlayerDevice.h"

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

