#include "cd/LScsiClock.h"

#include <chrono>
#include <thread>

namespace {

class LRealClock : public LScsiClock {
public:
    bool Wait(LWaitable& object, int32_t ms) override { return object.WaitFor(ms); }
    void Sleep(int32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

} // namespace

LScsiClock& LScsiRealClock()
{
    static LRealClock clock;
    return clock;
}
