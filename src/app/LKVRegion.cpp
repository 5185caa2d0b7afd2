#include "app/LKVRegion.h"

#include "app/LKVBinary.h"
#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "core/LSoundTime.h"

namespace {
std::string MsText(uint32_t ms) { return LSoundTime(ms > uint32_t(INT32_MAX) ? INT32_MAX : int32_t(ms)).GetTextCs(); }
} // namespace

bool LKVRegion::Fits() const { return LKVTextFits(name) && LKVTextFits(path); }

void LKVRegion::ToRecord(uint8_t* record) const
{
    LKVPutText(record, name);
    LKVPutText(record + 260, path);
    PutLE32(record + 520, startMs);
    PutLE32(record + 524, endMs);
}

LKVRegion LKVRegion::FromRecord(const uint8_t* record)
{
    LKVRegion r;
    r.name = LKVGetText(record);
    r.path = LKVGetText(record + 260);
    r.startMs = GetLE32(record + 520);
    r.endMs = GetLE32(record + 524);
    return r;
}

std::string LKVRegion::RangeText() const { return MsText(startMs) + "-" + MsText(endMs); }

std::string LKVRegion::FileText() const { return GetFileFromPath(path); }

bool LKVIsValidFileName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20)
            return false;
    return true;
}
