// The GSM 06.10 core against libgsm, and Kelvane's own input and output filters.
#include <gtest/gtest.h>

#include <gsm.h>

#include <cstring>
#include <memory>
#include <vector>

#include "formats/SpeechSignal.h"
#include "formats/gsm/LGSMFrame.h"
#include "gsm/GsmStandardEnds.h"

namespace {

struct GsmDeleter {
    void operator()(gsm_state* g) const { gsm_destroy(g); }
};
using GsmHandle = std::unique_ptr<gsm_state, GsmDeleter>;

// Encodes `input` with both implementations and decodes each frame with both;
// counts the first mismatching frame so that a failure names where it happened.
void ExpectBitExact(const std::vector<int16_t>& input, const char* what)
{
    GsmHandle ref(gsm_create());
    GsmHandle refDecoder(gsm_create());
    test::StandardGsm ours;
    size_t frames = input.size() / 160;
    for (size_t f = 0; f < frames; ++f) {
        int16_t block[160];
        std::memcpy(block, input.data() + f * 160, sizeof block);
        uint8_t want[33];
        uint8_t got[33];
        gsm_encode(ref.get(), block, want);
        ours.Encode(input.data() + f * 160, got);
        ASSERT_EQ(0, std::memcmp(want, got, 33)) << what << ": encoded frame " << f << " differs";
        int16_t wantPcm[160];
        int16_t gotPcm[160];
        ASSERT_EQ(0, gsm_decode(refDecoder.get(), want, wantPcm));
        ours.Decode(got, gotPcm);
        ASSERT_EQ(0, std::memcmp(wantPcm, gotPcm, sizeof wantPcm)) << what << ": decoded frame " << f << " differs";
    }
}

TEST(GsmCore, EncodesAndDecodesBitExactlyWithLibgsm)
{
    ExpectBitExact(test::SpeechLike(8000 * 40, 1), "speech");
    ExpectBitExact(test::SpeechLike(8000 * 20, 7, 45000.0), "clipped speech");
    ExpectBitExact(test::SpeechLike(8000 * 10, 3, 300.0), "quiet speech");
    ExpectBitExact(test::WhiteNoise(8000 * 20, 11), "full-scale noise");
    ExpectBitExact(test::WhiteNoise(8000 * 5, 12, 40), "faint noise");

    // Extremes: silence, full-scale DC of both signs, a full-scale square wave and a sweep.
    std::vector<int16_t> extremes;
    extremes.insert(extremes.end(), 1600, 0);
    extremes.insert(extremes.end(), 1600, 32767);
    extremes.insert(extremes.end(), 1600, -32768);
    for (int32_t n = 0; n < 8000; ++n)
        extremes.push_back((n / 20) % 2 ? int16_t(32767) : int16_t(-32768));
    for (int32_t n = 0; n < 16000; ++n) {
        double t = n / 8000.0;
        extremes.push_back(int16_t(32000 * std::sin(2 * 3.14159265 * (50 + 1950 * t / 2) * t)));
    }
    ExpectBitExact(extremes, "extremes");
}

TEST(GsmCore, DecodesArbitraryFramesLikeLibgsm)
{
    // Damaged or foreign frames: every bit pattern is a frame (lags outside 40..120
    // included), and both decoders must agree on all of them.
    GsmHandle ref(gsm_create());
    test::StandardGsm ours;
    test::Lcg rng(99);
    for (int32_t f = 0; f < 20000; ++f) {
        uint8_t frame[33];
        for (auto& b : frame)
            b = uint8_t(rng.Next() >> 24);
        frame[0] = uint8_t(0xD0 | (frame[0] & 0x0F));
        int16_t want[160];
        int16_t got[160];
        ASSERT_EQ(0, gsm_decode(ref.get(), frame, want));
        ours.Decode(frame, got);
        ASSERT_EQ(0, std::memcmp(want, got, sizeof want)) << "frame " << f;
    }
}

} // namespace
