#include "formats/gsm/LGSMParams.h"

#include "formats/gsm/GsmTables.h"

namespace {

// Big-endian bit writer over a fixed 33-byte frame.
class BitWriter {
public:
    explicit BitWriter(uint8_t* out) : out_(out) {}
    void Put(uint32_t value, int32_t bits)
    {
        acc_ = (acc_ << bits) | (value & ((1u << bits) - 1));
        count_ += bits;
        while (count_ >= 8) {
            count_ -= 8;
            *out_++ = uint8_t(acc_ >> count_);
        }
    }

private:
    uint8_t* out_;
    uint32_t acc_ = 0;
    int32_t count_ = 0;
};

class BitReader {
public:
    explicit BitReader(const uint8_t* in) : in_(in) {}
    int16_t Get(int32_t bits)
    {
        while (count_ < bits) {
            acc_ = (acc_ << 8) | *in_++;
            count_ += 8;
        }
        count_ -= bits;
        return int16_t((acc_ >> count_) & ((1u << bits) - 1));
    }

private:
    const uint8_t* in_;
    uint32_t acc_ = 0;
    int32_t count_ = 0;
};

} // namespace

void LGSMParams::Pack(uint8_t* out) const
{
    BitWriter w(out);
    w.Put(0xD, 4);
    for (int32_t i = 0; i < 8; ++i)
        w.Put(uint32_t(larc[i]), gsm610::kLarBits[i]);
    for (int32_t j = 0; j < 4; ++j) {
        w.Put(uint32_t(nc[j]), 7);
        w.Put(uint32_t(bc[j]), 2);
        w.Put(uint32_t(mc[j]), 2);
        w.Put(uint32_t(xmaxc[j]), 6);
        for (int32_t i = 0; i < 13; ++i)
            w.Put(uint32_t(xmc[j][i]), 3);
    }
}

void LGSMParams::Unpack(const uint8_t* in)
{
    BitReader r(in);
    r.Get(4);
    for (int32_t i = 0; i < 8; ++i)
        larc[i] = r.Get(gsm610::kLarBits[i]);
    for (int32_t j = 0; j < 4; ++j) {
        nc[j] = r.Get(7);
        bc[j] = r.Get(2);
        mc[j] = r.Get(2);
        xmaxc[j] = r.Get(6);
        for (int32_t i = 0; i < 13; ++i)
            xmc[j][i] = r.Get(3);
    }
}
