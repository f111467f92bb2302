// What the keyboard and the mouse say, as every part of the game reads it:
// the devices' states as the platform delivers them, the pointer's place,
// which of the two was used last, and whether our window has the input.
#pragma once
#include <cstdint>

extern uint8_t KeyboardState[256]; // scan-code state, 0x80 when down
extern uint8_t MouseState[20];     // mouse device state read by the game each frame
extern int32_t MouseX, MouseY;     // last mouse position in client pixels
extern int32_t MouseMode;          // -1: the mouse was used last; 0: the keyboard
extern int32_t FormActive;         // -1: active and the display is set up

// Virtual-key codes used by the game.
// clang-format off
enum : uint16_t {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18,
    VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36,
    VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40, VK_INSERT = 45, VK_DELETE = 46,
    VK_F1 = 112, VK_F12 = 123, VK_LSHIFT = 160, VK_RSHIFT = 161, VK_LCONTROL = 162,
    VK_RCONTROL = 163, VK_LMENU = 164, VK_RMENU = 165,
};
// clang-format on

// Scan codes the game reads from KeyboardState.
// clang-format off
enum : uint8_t {
    DIK_ESCAPE = 0x01, DIK_RETURN = 0x1C, DIK_LCONTROL = 0x1D, DIK_P = 0x19, DIK_SPACE = 0x39,
    DIK_RCONTROL = 0x9D, DIK_UP = 0xC8, DIK_LEFT = 0xCB, DIK_RIGHT = 0xCD, DIK_DOWN = 0xD0,
};
// clang-format on
