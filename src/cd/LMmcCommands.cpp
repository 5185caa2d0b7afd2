#include "cd/LMmcCommands.h"

#include <initializer_list>

#include "core/ByteOrder.h"

namespace {

LCdb Make(std::initializer_list<uint8_t> bytes)
{
    LCdb c;
    for (uint8_t b : bytes)
        c.bytes[c.length++] = b;
    return c;
}

} // namespace

LCdb LMmcCommands::TestUnitReady() { return Make({0x00, 0, 0, 0, 0, 0}); }

LCdb LMmcCommands::StartStop(bool load) { return Make({0x1B, 0, 0, 0, uint8_t(load ? 0x03 : 0x02), 0}); }

LCdb LMmcCommands::Inquiry(uint8_t allocation) { return Make({0x12, 0, 0, 0, allocation, 0}); }

LCdb LMmcCommands::ReadToc() { return Make({0x43, 0, 0, 0, 0, 0, 0x01, 0x08, 0x00, 0}); }

LCdb LMmcCommands::ReadAtip(uint16_t allocation)
{
    return Make({0x43, 0x02, 0x04, 0, 0, 0, 0, uint8_t(allocation >> 8), uint8_t(allocation), 0});
}

LCdb LMmcCommands::ReadCd(uint32_t lba, uint8_t count)
{
    LCdb c = Make({0xBE, 0, 0, 0, 0, 0, 0, 0, count, 0xF0, 0, 0});
    PutBE32(c.bytes + 2, lba);
    return c;
}

LCdb LMmcCommands::Read10(uint32_t lba, uint16_t count)
{
    LCdb c = Make({0x28, 0, 0, 0, 0, 0, 0, uint8_t(count >> 8), uint8_t(count), 0});
    PutBE32(c.bytes + 2, lba);
    return c;
}

LCdb LMmcCommands::ModeSense(uint8_t page, uint16_t allocation)
{
    return Make({0x5A, 0, page, 0, 0, 0, 0, uint8_t(allocation >> 8), uint8_t(allocation), 0});
}

LCdb LMmcCommands::ModeSelect(uint16_t length)
{
    return Make({0x55, 0x10, 0, 0, 0, 0, 0, uint8_t(length >> 8), uint8_t(length), 0});
}

LCdb LMmcCommands::SetSpeed(uint16_t writeKBs)
{
    return Make({0xBB, 0, 0xFF, 0xFF, uint8_t(writeKBs >> 8), uint8_t(writeKBs), 0, 0, 0, 0, 0, 0});
}

LCdb LMmcCommands::ReadDiscInformation(uint16_t allocation)
{
    return Make({0x51, 0, 0, 0, 0, 0, 0, uint8_t(allocation >> 8), uint8_t(allocation), 0});
}

LCdb LMmcCommands::ReadLastTrackInformation(uint16_t allocation)
{
    return Make({0x52, 0x01, 0, 0, 0, 0xFF, 0, uint8_t(allocation >> 8), uint8_t(allocation), 0});
}

LCdb LMmcCommands::Write10(uint32_t lba, uint8_t count)
{
    LCdb c = Make({0x2A, 0, 0, 0, 0, 0, 0, 0, count, 0});
    PutBE32(c.bytes + 2, lba);
    return c;
}

LCdb LMmcCommands::SynchronizeCache() { return Make({0x35, 0, 0, 0, 0, 0, 0, 0, 0, 0}); }

LCdb LMmcCommands::CloseSession() { return Make({0x5B, 0x01, 0x02, 0, 0, 0, 0, 0, 0, 0}); }

LCdb LMmcCommands::BlankMinimal() { return Make({0xA1, 0x11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}); }

LCdb LMmcCommands::SendCueSheet(uint32_t length)
{
    return Make({0x5D, 0, 0, 0, 0, 0, uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length), 0});
}
