#include "platform/sdl/SdlClock.h"

#include <SDL.h>

namespace TickMath {

uint64_t TickIndex(uint64_t elapsedMs) { return elapsedMs * 64 / 1000; }

uint32_t TickValue(uint64_t tickIndex) { return static_cast<uint32_t>(tickIndex * 1000 / 64); }

uint64_t TickStart(uint64_t tickIndex) { return (tickIndex * 1000 + 63) / 64; }

uint32_t MsUntilNextTick(uint64_t elapsedMs)
{
    const uint64_t next = TickStart(TickIndex(elapsedMs) + 1);
    return static_cast<uint32_t>(next - elapsedMs);
}

} // namespace TickMath

TSdlClock::TSdlClock(MsSource now, Sleeper sleeper) : Now(std::move(now)), Sleeper_(std::move(sleeper))
{
    if (!Now)
        Now = [] { return static_cast<uint64_t>(SDL_GetTicks64()); };
    if (!Sleeper_)
        Sleeper_ = [](uint32_t ms) { SDL_Delay(ms); };
    Start = Now();
}

uint64_t TSdlClock::Elapsed()
{
    const uint64_t now = Now();
    return now >= Start ? now - Start : 0;
}

uint32_t TSdlClock::GetTickCount() { return TickMath::TickValue(TickMath::TickIndex(Elapsed())); }

void TSdlClock::Sleep(uint32_t ms) { Sleeper_(ms); }

uint32_t TSdlClock::MsUntilNextTick() { return TickMath::MsUntilNextTick(Elapsed()); }
