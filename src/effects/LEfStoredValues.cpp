#include "effects/LEfStoredValues.h"

#include "core/LSettings.h"

namespace {

int32_t Narrow(int32_t value, LEfStoredValue::Kind kind)
{
    switch (kind) {
    case LEfStoredValue::Kind::Int8: return int8_t(uint8_t(uint32_t(value)));
    case LEfStoredValue::Kind::Uint8: return uint8_t(uint32_t(value));
    default: return value;
    }
}

} // namespace

int32_t LEfStoredValue::Read() const { return Narrow(LSettings::ReadInt(section, name, def), kind); }

void LEfStoredValue::Write(int32_t value) const { LSettings::WriteInt(section, name, Narrow(value, kind)); }
