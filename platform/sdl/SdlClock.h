// The tick count the game runs on: milliseconds since start, advancing in
// steps of 1000/64 ms as the old system timer did, so every timing in the
// game (fire rates, animations, the 5 ms frame throttle) sees the same
// granularity it was tuned for.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/Platform.h"

// Tick arithmetic, kept apart so it can be checked without a clock.
namespace TickMath {
// Index of the tick that is current after elapsedMs milliseconds.
uint64_t TickIndex(uint64_t elapsedMs);
// The tick count reported for a tick index: floor(n * 1000 / 64).
uint32_t TickValue(uint64_t tickIndex);
// First elapsed millisecond at which tick index n is current.
uint64_t TickStart(uint64_t tickIndex);
// Milliseconds from elapsedMs until the next tick begins (at least 1).
uint32_t MsUntilNextTick(uint64_t elapsedMs);
} // namespace TickMath

class TSdlClock : public IClock {
public:
    using MsSource = std::function<uint64_t()>;
    using Sleeper = std::function<void(uint32_t)>;
    // The defaults use SDL's millisecond counter and SDL_Delay; tests pass
    // their own source.
    TSdlClock(MsSource now = {}, Sleeper sleeper = {});
    uint32_t GetTickCount() override;
    void Sleep(uint32_t ms) override;
    // Milliseconds until the tick count next changes; the message loop waits that long.
    uint32_t MsUntilNextTick();

private:
    uint64_t Elapsed();
    MsSource Now;
    Sleeper Sleeper_;
    uint64_t Start = 0;
};
