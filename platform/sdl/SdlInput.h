// The keyboard and mouse devices as the game polls them: the keyboard as a
// 256-byte state by set-1 scan code, the mouse as motion since the last read
// plus four buttons. Both answer only while acquired, as the old input
// devices did; the game's caller keeps its zeroed state otherwise.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/Platform.h"

// The input system's own status codes.
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);
constexpr HRESULT DIERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057u);

constexpr uint32_t KeyboardStateSize = 256;
constexpr uint32_t MouseStateSize = 20;
// One notch of the wheel, in the old input system's units.
constexpr int32_t WheelNotch = 120;

class TSdlKeyboard : public IKeyboardDevice {
public:
    // Returns SDL's key state array (indexed by SDL scancode) and its length.
    using StateSource = std::function<const uint8_t*(int32_t& count)>;
    explicit TSdlKeyboard(StateSource source = {});
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    HRESULT GetDeviceState(uint32_t size, void* data) override;
    bool IsAcquired() const { return Acquired; }

private:
    StateSource Source;
    bool Acquired = false;
};

class TSdlMouse : public IMouseDevice {
public:
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    // x, y and wheel motion since the previous read, then the buttons.
    HRESULT GetDeviceState(uint32_t size, void* data) override;
    bool IsAcquired() const { return Acquired; }

    // Fed by the message loop from the window's mouse events.
    void AddMotion(int32_t dx, int32_t dy);
    void AddWheel(int32_t notches);
    // button: 0 left, 1 right, 2 middle, 3 first side button.
    void SetButton(int32_t button, bool down);

private:
    bool Acquired = false;
    int32_t DX = 0, DY = 0, DZ = 0;
    uint8_t Buttons[4] = {};
};
