#include "platform/sdl/SdlGamepad.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t Directions = PadBit(PadUp) | PadBit(PadDown) | PadBit(PadLeft) | PadBit(PadRight);

struct TButtonOf {
    SDL_GameControllerButton Sdl;
    TPadButton Pad;
};

// clang-format off
const TButtonOf Buttons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_UP, PadUp},     {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadLeft}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadRight},
    {SDL_CONTROLLER_BUTTON_A, PadA},            {SDL_CONTROLLER_BUTTON_B, PadB},
    {SDL_CONTROLLER_BUTTON_X, PadX},            {SDL_CONTROLLER_BUTTON_Y, PadY},
    {SDL_CONTROLLER_BUTTON_BACK, PadBack},      {SDL_CONTROLLER_BUTTON_START, PadStart},
};
// clang-format on

SDL_GameController* Controller(void* c) { return static_cast<SDL_GameController*>(c); }

} // namespace

uint32_t StickDirections(int32_t x, int32_t y, bool wasOut)
{
    const double r = std::hypot(static_cast<double>(x), static_cast<double>(y));
    if (r <= (wasOut ? PadStickReleaseZone : PadStickDeadZone))
        return 0;
    // An axis counts when it carries more than sin(22.5 degrees) of the
    // stick's travel: the four straight directions and the four diagonals
    // then each get an equal sector.
    const double t = r * 0.3826834323650898;
    uint32_t bits = 0;
    if (x < -t)
        bits |= PadBit(PadLeft);
    else if (x > t)
        bits |= PadBit(PadRight);
    if (y < -t)
        bits |= PadBit(PadUp);
    else if (y > t)
        bits |= PadBit(PadDown);
    return bits;
}

void TPadPresses::Update(uint32_t held, uint32_t now)
{
    for (int b = 0; b < PadButtonCount; ++b) {
        const uint32_t bit = 1u << b;
        if (!(held & bit))
            continue;
        bool press = false;
        if (!(Held & bit)) {
            press = true;
            RepeatDue[b] = now + PadRepeatDelay;
        } else if ((bit & Directions) && static_cast<int32_t>(now - RepeatDue[b]) >= 0) {
            press = true;
            RepeatDue[b] += PadRepeatInterval;
            // After a stall the next repeat counts from now.
            if (static_cast<int32_t>(now - RepeatDue[b]) >= 0)
                RepeatDue[b] = now + PadRepeatInterval;
        }
        if (press && Waiting.size() < MaxWaiting)
            Waiting.push_back(static_cast<TPadButton>(b));
    }
    Held = held;
}

bool TPadPresses::Next(TPadButton& button)
{
    if (Waiting.empty())
        return false;
    button = Waiting.front();
    Waiting.pop_front();
    return true;
}

TSdlGamepad::TSdlGamepad()
{
    // Poll brings the controllers up to date itself. Left to SDL, every wait
    // for events turns into a 1 ms polling loop while a controller is plugged
    // in, waking the program a dozen times between two frames.
    SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
    Started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

TSdlGamepad::~TSdlGamepad()
{
    for (TPad& pad : Pads)
        SDL_GameControllerClose(Controller(pad.Controller));
    Pads.clear();
    if (Started)
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void TSdlGamepad::PickUpAndDrop()
{
    // Pulled out: SDL keeps the handle but reports it detached.
    for (auto it = Pads.begin(); it != Pads.end();) {
        if (SDL_GameControllerGetAttached(Controller(it->Controller))) {
            ++it;
        } else {
            SDL_GameControllerClose(Controller(it->Controller));
            it = Pads.erase(it);
        }
    }
    std::erase_if(NotControllers, [](int32_t id) {
        for (int i = 0, n = SDL_NumJoysticks(); i < n; ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
                return false;
        return true;
    });
    // Plugged in: every joystick SDL knows as a controller.
    for (int i = 0, n = SDL_NumJoysticks(); i < n; ++i) {
        const int32_t id = SDL_JoystickGetDeviceInstanceID(i);
        if (id < 0)
            continue;
        const bool known = std::any_of(Pads.begin(), Pads.end(), [id](const TPad& p) { return p.Id == id; }) ||
                           std::find(NotControllers.begin(), NotControllers.end(), id) != NotControllers.end();
        if (known)
            continue;
        SDL_GameController* c = SDL_IsGameController(i) ? SDL_GameControllerOpen(i) : nullptr;
        if (c)
            Pads.push_back(TPad{id, c});
        else
            NotControllers.push_back(id);
    }
}

uint32_t TSdlGamepad::Read(TPad& pad)
{
    SDL_GameController* c = Controller(pad.Controller);
    uint32_t held = 0;
    for (const TButtonOf& b : Buttons)
        if (SDL_GameControllerGetButton(c, b.Sdl))
            held |= PadBit(b.Pad);
    const uint32_t stick = StickDirections(SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX),
                                           SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY), pad.StickOut);
    pad.StickOut = stick != 0;
    held |= stick;
    if (SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) > PadTriggerThreshold)
        held |= PadBit(PadRightTrigger);
    return held;
}

uint32_t TSdlGamepad::Poll(uint32_t now)
{
    uint32_t held = 0;
    if (Started) {
        // Brings the controllers' state up to date and notices devices that
        // came or went, also when no event loop runs.
        SDL_GameControllerUpdate();
        PickUpAndDrop();
        for (TPad& pad : Pads)
            held |= Read(pad);
    }
    Presses.Update(held, now);
    return held;
}
