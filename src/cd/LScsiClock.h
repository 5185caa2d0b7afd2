#pragma once
#include <cstdint>

#include "core/LEvent.h"

// Time as LSCSI waits it: for a command's completion and between the retries of a
// busy drive. Tests install one that does not wait, so they can count retries and
// run out a time-out budget without spending it. Called on the waiting thread.
class LScsiClock {
public:
    virtual ~LScsiClock() = default;
    // Waits up to `ms` for `object`; true once it is signalled.
    virtual bool Wait(LWaitable& object, int32_t ms) = 0;
    // Sleeps `ms`.
    virtual void Sleep(int32_t ms) = 0;
};

// Real time; the default.
LScsiClock& LScsiRealClock();
