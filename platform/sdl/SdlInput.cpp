#include "platform/sdl/SdlInput.h"

#include <SDL.h>

#include <cstring>

#include "platform/sdl/KeyTables.h"

TSdlKeyboard::TSdlKeyboard(StateSource source) : Source(std::move(source))
{
    if (!Source)
        Source = [](int32_t& count) {
            int n = 0;
            const Uint8* state = SDL_GetKeyboardState(&n);
            count = n;
            return static_cast<const uint8_t*>(state);
        };
}

HRESULT TSdlKeyboard::Acquire()
{
    Acquired = true;
    return DD_OK;
}

HRESULT TSdlKeyboard::Unacquire()
{
    Acquired = false;
    return DD_OK;
}

HRESULT TSdlKeyboard::GetDeviceState(uint32_t size, void* data)
{
    if (!data || size != KeyboardStateSize)
        return DIERR_INVALIDPARAM;
    if (!Acquired)
        return DIERR_NOTACQUIRED;
    auto* out = static_cast<uint8_t*>(data);
    std::memset(out, 0, KeyboardStateSize);
    int32_t count = 0;
    const uint8_t* state = Source(count);
    if (!state)
        return DD_OK;
    for (int32_t sc = 0; sc < count; ++sc) {
        if (!state[sc])
            continue;
        const uint8_t code = ScancodeToSet1(sc);
        if (code)
            out[code] = 0x80;
    }
    return DD_OK;
}

HRESULT TSdlMouse::Acquire()
{
    // Motion made while the device was released is not reported.
    if (!Acquired)
        DX = DY = DZ = 0;
    Acquired = true;
    return DD_OK;
}

HRESULT TSdlMouse::Unacquire()
{
    Acquired = false;
    return DD_OK;
}

HRESULT TSdlMouse::GetDeviceState(uint32_t size, void* data)
{
    if (!data || size != MouseStateSize)
        return DIERR_INVALIDPARAM;
    if (!Acquired)
        return DIERR_NOTACQUIRED;
    auto* out = static_cast<uint8_t*>(data);
    std::memset(out, 0, MouseStateSize);
    const int32_t axes[3] = {DX, DY, DZ};
    std::memcpy(out, axes, sizeof axes);
    std::memcpy(out + 12, Buttons, sizeof Buttons);
    DX = DY = DZ = 0;
    return DD_OK;
}

namespace {

int32_t SaturatingAdd(int32_t a, int32_t b)
{
    const int64_t sum = static_cast<int64_t>(a) + b;
    if (sum > INT32_MAX)
        return INT32_MAX;
    if (sum < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(sum);
}

} // namespace

void TSdlMouse::AddMotion(int32_t dx, int32_t dy)
{
    if (!Acquired)
        return;
    DX = SaturatingAdd(DX, dx);
    DY = SaturatingAdd(DY, dy);
}

void TSdlMouse::AddWheel(int32_t notches)
{
    if (!Acquired)
        return;
    DZ = SaturatingAdd(DZ, static_cast<int32_t>(static_cast<int64_t>(notches) * WheelNotch));
}

void TSdlMouse::SetButton(int32_t button, bool down)
{
    // Button bytes follow the buttons even while released, so a button held
    // across an acquire reads as held.
    if (button >= 0 && button < 4)
        Buttons[button] = down ? 0x80 : 0;
}
