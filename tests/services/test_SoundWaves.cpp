// The seven waves compiled into the game: mono PCM RIFF images in the
// formats and lengths each effect was made for, and not silent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "services/Wave.h"

namespace {

uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

TEST(SoundWaves, EachWaveHasItsFormatAndLength)
{
    struct Case {
        const char* Name;
        uint32_t Rate;
        uint16_t Bits;
        double Seconds;
        double Heard;
    };
    const Case cases[WaveImageCount] = {
        {"MenuClick", 8000, 8, 0.05, 0.3},
        {"Hit", 16000, 8, 1.05, 0.8},
        {"Laser_1", 16000, 8, 0.16, 0.6},
        {"Plasma", 22050, 16, 0.68, 0.75},
        {"Rocket", 22050, 8, 1.09, 0.8},
        {"Skeel", 8000, 8, 1.83, 0.8},
        {"NewStage", 11025, 8, 6.63, 0.65},
    };
    for (int i = 0; i < WaveImageCount; ++i) {
        const Case& c = cases[i];
        const TWaveImage& w = WaveImages[i];
        SCOPED_TRACE(c.Name);
        EXPECT_STREQ(w.Name, c.Name);
        ASSERT_GE(w.Size, 44u);
        const uint8_t* d = w.Data;
        EXPECT_EQ(std::memcmp(d, "RIFF", 4), 0);
        EXPECT_EQ(U32(d + 4), w.Size - 8);
        EXPECT_EQ(std::memcmp(d + 8, "WAVEfmt ", 8), 0);
        EXPECT_EQ(U32(d + 16), 16u);
        EXPECT_EQ(U16(d + 20), 1) << "PCM";
        EXPECT_EQ(U16(d + 22), 1) << "mono";
        EXPECT_EQ(U32(d + 24), c.Rate);
        EXPECT_EQ(U32(d + 28), c.Rate * c.Bits / 8);
        EXPECT_EQ(U16(d + 32), c.Bits / 8);
        EXPECT_EQ(U16(d + 34), c.Bits);
        EXPECT_EQ(std::memcmp(d + 36, "data", 4), 0);
        uint32_t bytes = U32(d + 40);
        ASSERT_LE(44 + bytes, w.Size);
        double seconds = static_cast<double>(bytes) / (c.Bits / 8) / c.Rate;
        EXPECT_NEAR(seconds, c.Seconds, 0.51 / c.Rate) << "the nearest whole sample";

        // Loud enough to be heard, and sounding through most of its length.
        const uint8_t* s = d + 44;
        uint32_t n = bytes / (c.Bits / 8);
        int peak = 0;
        uint32_t lastHeard = 0;
        for (uint32_t k = 0; k < n; ++k) {
            int v = c.Bits == 16 ? std::abs(static_cast<int16_t>(U16(s + 2 * k))) / 256 : std::abs(s[k] - 128);
            peak = std::max(peak, v);
            if (v >= 2)
                lastHeard = k;
        }
        EXPECT_GE(peak, 80) << "peak in 8-bit steps";
        EXPECT_GE(static_cast<double>(lastHeard) / n, c.Heard) << "the sound fills its length";
    }
}

} // namespace
