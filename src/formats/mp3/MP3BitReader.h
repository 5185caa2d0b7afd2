#pragma once
#include <cstdint>
#include <cstring>

// Most-significant-bit-first reader over a byte buffer. The caller guarantees that
// kPadding zero bytes follow the `bytes` valid ones; positions past the end read
// as zero bits, so corrupt lengths can never reach outside the buffer.
class MP3BitReader {
public:
    static constexpr int32_t kPadding = 8;

    MP3BitReader(const uint8_t* data, int32_t bytes) : data_(data), limit_(bytes * 8) {}

    // The next `n` bits (0-32) without consuming them.
    uint32_t Peek(int32_t n) const
    {
        if (n <= 0)
            return 0;
        return uint32_t(Window() >> (64 - n));
    }
    // The next 32 bits, left-aligned; for table look-ups.
    uint32_t Peek32() const { return uint32_t(Window() >> 32); }
    void Skip(int32_t n) { pos_ += n; }
    uint32_t Read(int32_t n)
    {
        uint32_t v = Peek(n);
        pos_ += n;
        return v;
    }
    // Position in bits from the start of the buffer.
    int32_t Position() const { return pos_; }
    void SetPosition(int32_t bits) { pos_ = bits < 0 ? 0 : bits; }

private:
    uint64_t Window() const
    {
        // Clamped to the end of the data: the padding there is all zero.
        int32_t p = pos_ < limit_ ? pos_ : limit_;
        uint64_t v;
        std::memcpy(&v, data_ + (p >> 3), 8);
        v = __builtin_bswap64(v);
        return pos_ < limit_ ? v << (p & 7) : 0;
    }

    const uint8_t* data_;
    int32_t limit_;
    int32_t pos_ = 0;
};
