#include "core/LSRCNull.h"

#include <algorithm>

LSRCNull::LSRCNull(uint8_t error) : LSoundSourceBase(11025, 1, 0x200000) { SetError(error); }

void LSRCNull::Read(int32_t* buffer, int32_t frames)
{
    if (frames > 0)
        std::fill_n(buffer, frames, 0);
}

LSoundSource MakeErrorSource(uint8_t error) { return MakeSource<LSRCNull>(error); }
