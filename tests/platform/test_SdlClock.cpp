// The tick count in 1000/64 ms steps and the wait the message loop takes.
#include <gtest/gtest.h>

#include "platform/sdl/SdlClock.h"

namespace {

struct TTickCase {
    uint64_t ElapsedMs;
    uint32_t Ticks;       // GetTickCount
    uint32_t UntilNextMs; // the message loop's wait
};

// clang-format off
const TTickCase TickCases[] = {
    {0, 0, 16},      // tick 1 begins at 15.625 ms, first whole millisecond 16
    {1, 0, 15},
    {15, 0, 1},
    {16, 15, 16},    // tick 1 (15) until 31.25 ms
    {31, 15, 1},
    {32, 31, 15},    // tick 2 (31) until 46.875 ms
    {46, 31, 1},
    {47, 46, 16},
    {62, 46, 1},
    {63, 62, 16},
    {78, 62, 1},
    {79, 78, 15},
    {999, 984, 1},
    {1000, 1000, 16}, // 64 ticks make a second exactly
    {1015, 1000, 1},
    {1016, 1015, 16},
    // After 50 days the count wraps like the old one.
    {uint64_t{50} * 86400 * 1000, static_cast<uint32_t>(uint64_t{50} * 86400 * 1000 % (uint64_t{1} << 32)), 16},
};
// clang-format on

TEST(SdlClock, TickCountAdvancesIn64thsOfASecond)
{
    for (const TTickCase& c : TickCases) {
        uint64_t now = 5000; // the clock counts from its own start
        TSdlClock clock([&] { return now; });
        now += c.ElapsedMs;
        EXPECT_EQ(clock.GetTickCount(), c.Ticks) << "after " << c.ElapsedMs << " ms";
        EXPECT_EQ(clock.MsUntilNextTick(), c.UntilNextMs) << "after " << c.ElapsedMs << " ms";
    }
}

TEST(SdlClock, EveryTickValueIsSeenAndTheWaitLandsOnTheNextTick)
{
    // Walking millisecond by millisecond shows each tick value once, in order,
    // and waiting the announced time always lands exactly on the next tick.
    uint64_t now = 0;
    TSdlClock clock([&] { return now; });
    uint32_t expectedIndex = 0;
    for (now = 0; now < 2000; ++now) {
        const uint32_t ticks = clock.GetTickCount();
        if (ticks != TickMath::TickValue(expectedIndex)) {
            ++expectedIndex;
            ASSERT_EQ(ticks, TickMath::TickValue(expectedIndex)) << now;
        }
        const uint64_t saved = now;
        now += clock.MsUntilNextTick();
        EXPECT_EQ(clock.GetTickCount(), TickMath::TickValue(expectedIndex + 1)) << "waited from " << saved;
        now = saved;
    }
    EXPECT_EQ(expectedIndex, 127u);
}

TEST(SdlClock, FrameThrottleSeesOneFramePerTick)
{
    // The shell draws when more than 5 ms passed since the last present: with
    // the tick count's steps that is once per tick, 64 frames a second.
    uint64_t now = 0;
    TSdlClock clock([&] { return now; });
    uint32_t last = 0;
    int frames = 0;
    for (now = 0; now < 1000; ++now) {
        const uint32_t t = clock.GetTickCount();
        if (t - last > 5) {
            ++frames;
            last = t;
        }
    }
    EXPECT_EQ(frames, 63); // ticks 1..63 within the first second (tick 0 is the start)
}

TEST(SdlClock, SleepGoesToTheSleeper)
{
    uint32_t slept = 0;
    TSdlClock clock([] { return uint64_t{0}; }, [&](uint32_t ms) { slept += ms; });
    clock.Sleep(150);
    clock.Sleep(150);
    EXPECT_EQ(slept, 300u);
}

} // namespace
