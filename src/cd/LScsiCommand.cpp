#include "cd/LScsiCommand.h"

#include <cstdio>
#include <cstring>

LScsiSense LScsiSense::From(const uint8_t* sense, uint32_t length)
{
    LScsiSense s;
    if (!sense || length < 1)
        return s;
    const uint8_t code = sense[0] & 0x7F;
    if (code == 0x72 || code == 0x73) {
        if (length >= 4) {
            s.key = sense[1] & 0x0F;
            s.asc = sense[2];
            s.ascq = sense[3];
        }
    } else if (length >= 14) {
        s.key = sense[2] & 0x0F;
        s.asc = sense[12];
        s.ascq = sense[13];
    } else if (length >= 3) {
        s.key = sense[2] & 0x0F;
    }
    return s;
}

std::string LScsiSense::Text() const
{
    char text[16];
    std::snprintf(text, sizeof text, "%02X/%02X/%02X", key, asc, ascq);
    return text;
}

std::string LScsiSense::Meaning() const
{
    if (asc == 0x3A)
        return ascq == 0x02 ? "the tray is open" : "no disc in the drive";
    if (key == 0x02 && asc == 0x04)
        return ascq == 0x01 ? "the drive is becoming ready" : "the drive is not ready";
    if (key == 0x03)
        return asc == 0x11   ? "the disc cannot be read there (medium error)"
               : asc == 0x0C ? "the disc could not be written there"
                             : "medium error";
    if (key == 0x05) {
        switch (asc) {
        case 0x20: return "the drive does not know the command";
        case 0x21: return ascq == 0x02 ? "invalid address for a write" : "address past the end of the disc";
        case 0x24: return "invalid field in the command";
        case 0x26: return "invalid field in the parameters";
        case 0x2C: return "the commands came in the wrong order";
        case 0x30: return "the disc cannot be used for this";
        case 0x64: return "illegal mode for this track";
        default: return "illegal request";
        }
    }
    if (key == 0x04)
        return "hardware error";
    if (key == 0x06)
        return "the disc or the drive changed";
    if (key == 0x07)
        return "the disc is write-protected";
    return {};
}

void LScsiCommand::ResetOutcome()
{
    status = kScsiGood;
    std::memset(sense, 0, sizeof sense);
    senseLength = 0;
    transportFailed = false;
    error.clear();
    done.Reset();
}

void LScsiFillSense(uint8_t* out18, const LScsiSense& sense)
{
    std::memset(out18, 0, 18);
    out18[0] = 0x70;
    out18[2] = sense.key & 0x0F;
    out18[7] = 10;  // additional sense length: bytes 8..17
    out18[12] = sense.asc;
    out18[13] = sense.ascq;
}
