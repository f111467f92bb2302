// A controller made by SDL itself (its virtual joystick, mapped as a game
// controller), so tests drive the real pad code without hardware.
#pragma once
#include <SDL2/SDL.h>

#include <string>

class TVirtualPad {
public:
    // Plugs a controller in. SDL's controller system must be running.
    TVirtualPad()
    {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        desc.name = "Test pad";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        if (index < 0)
            return;
        Joystick = SDL_JoystickOpen(index);
        Id = Joystick ? SDL_JoystickInstanceID(Joystick) : -1;
        // A virtual trigger rests at the middle of its axis: let go of both.
        Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
        Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    }
    ~TVirtualPad() { Unplug(); }
    TVirtualPad(const TVirtualPad&) = delete;
    TVirtualPad& operator=(const TVirtualPad&) = delete;

    bool Plugged() const { return Joystick != nullptr; }
    // Buttons and axes as SDL's controller numbers them; a trigger's axis runs
    // from -32768 (let go) to 32767 (pulled).
    void Button(SDL_GameControllerButton b, bool down)
    {
        if (Joystick)
            SDL_JoystickSetVirtualButton(Joystick, b, down ? SDL_PRESSED : SDL_RELEASED);
    }
    void Axis(SDL_GameControllerAxis a, int16_t value)
    {
        if (Joystick)
            SDL_JoystickSetVirtualAxis(Joystick, a, value);
    }
    void Stick(int16_t x, int16_t y)
    {
        Axis(SDL_CONTROLLER_AXIS_LEFTX, x);
        Axis(SDL_CONTROLLER_AXIS_LEFTY, y);
    }
    void Unplug()
    {
        if (!Joystick)
            return;
        SDL_JoystickClose(Joystick);
        Joystick = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == Id)
                SDL_JoystickDetachVirtual(i);
    }

private:
    SDL_Joystick* Joystick = nullptr;
    SDL_JoystickID Id = -1;
};
