// The one generator behind every random draw of the game: its sequence is
// part of the gameplay (spawns, drops, aims), so it must never change.
#include <gtest/gtest.h>

#include "platform/Random.h"

namespace {

TEST(Random, TheSequenceFromAKnownSeed)
{
    // The 32-bit linear congruential generator x' = x * 0x08088405 + 1,
    // each draw the upper half of x' * n.
    // clang-format off
    const struct {
        int32_t N;
        int32_t Draw;
        uint32_t SeedAfter;
    } steps[] = {
        {100, 38, 1655067934u}, {100, 28, 1242767767u}, {100, 7, 342459380u}, {7, 3, 2377737157u},
        {2, 1, 2721613530u},    {1000000, 341599, 1467157059u}, {2147483647, 944824231, 1889648464u},
    };
    // clang-format on
    RandSeed = 12345;
    for (const auto& s : steps) {
        EXPECT_EQ(Random(s.N), s.Draw) << "n " << s.N;
        EXPECT_EQ(RandSeed, s.SeedAfter);
    }
}

TEST(Random, DrawsStayInRangeAndAnEmptyRangeGivesZeroButStillAdvances)
{
    RandSeed = 0xFFFFFFFFu;
    for (int i = 0; i < 10000; ++i) {
        for (const int32_t n : {1, 2, 3, 20, 800, 2147483647}) {
            const int32_t r = Random(n);
            ASSERT_GE(r, 0);
            ASSERT_LT(r, n);
        }
    }
    const uint32_t before = RandSeed;
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
    EXPECT_NE(RandSeed, before);
}

} // namespace
