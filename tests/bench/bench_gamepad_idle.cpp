// How often the program wakes while it waits between two frames, without a
// controller and with one plugged in: the message loop's wait (15 ms, one
// tick) with the pad read before each, as the game does. Needs a display
// (under Xvfb: DISPLAY=:n); the dummy video driver cannot wait for events.
//   bench_gamepad_idle
#include <SDL2/SDL.h>
#include <sys/resource.h>

#include <cstdio>
#include <memory>

#include "platform/sdl/SdlGamepad.h"
#include "tests/fakes/VirtualPad.h"

namespace {

void Measure(const char* what, TSdlGamepad& pad)
{
    constexpr int Waits = 128;
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const uint32_t start = SDL_GetTicks();
    SDL_Event e;
    for (int i = 0; i < Waits; ++i) {
        pad.Poll(SDL_GetTicks());
        while (SDL_PollEvent(&e)) {
        }
        SDL_WaitEventTimeout(&e, 15);
    }
    getrusage(RUSAGE_SELF, &after);
    const uint32_t ms = SDL_GetTicks() - start;
    std::printf("%-28s %zu read, %4u ms for %d waits, %6.1f wake-ups a wait, %5.1f ms CPU\n", what, pad.Count(), ms, Waits,
                double(after.ru_nvcsw - before.ru_nvcsw) / Waits,
                (after.ru_utime.tv_sec - before.ru_utime.tv_sec) * 1e3 +
                    (after.ru_utime.tv_usec - before.ru_utime.tv_usec) / 1e3 +
                    (after.ru_stime.tv_sec - before.ru_stime.tv_sec) * 1e3 +
                    (after.ru_stime.tv_usec - before.ru_stime.tv_usec) / 1e3);
}

} // namespace

int main()
{
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "bench_gamepad_idle: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("bench", 0, 0, 160, 120, 0);
    {
        TSdlGamepad pad;
        Measure("no controller", pad);
        auto controller = std::make_unique<TVirtualPad>();
        if (!controller->Plugged()) {
            std::fprintf(stderr, "bench_gamepad_idle: no virtual controller: %s\n", SDL_GetError());
            return 1;
        }
        Measure("one controller plugged in", pad);
        controller.reset();
        Measure("pulled out again", pad);
    }
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
