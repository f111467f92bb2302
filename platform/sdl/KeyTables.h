// The two key translations of the platform layer: SDL's scancodes to the
// PC set-1 scan codes that index the 256-byte keyboard state (extended keys
// + 0x80, as the old input system numbered them), and SDL's key codes to the
// old system's virtual-key codes that key-down events carry.
// Plain ints so the game's tests can use them without SDL's headers.
#pragma once
#include <cstdint>

// Set-1 code for an SDL_Scancode; 0 for a key the state does not have.
uint8_t ScancodeToSet1(int32_t scancode);
// Number of SDL scancodes (the size of SDL's keyboard state array).
int32_t ScancodeCount();

// Virtual-key code for an SDL_Keycode, falling back to the key's position
// (SDL_Scancode) for keys the layout gives no Latin letter or digit; 0 for
// keys without a code. Shift, Ctrl and Alt come out as their left/right codes
// (160..165).
uint16_t KeyToVk(int32_t keycode, int32_t scancode);

// What a key-down event carries: as KeyToVk, except that Shift, Ctrl and Alt
// arrive as the generic codes 16, 17 and 18, as the old system's key-down
// messages delivered them (so a boss-key capture keeps waiting on them).
uint16_t KeyDownVk(int32_t keycode, int32_t scancode);

// Codes of the old system named here because the platform tests and the loop use them.
namespace VkCode {
constexpr uint16_t Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Pause = 19,
                   Capital = 20, Escape = 27, Space = 32, Prior = 33, Next = 34, End = 35, Home = 36,
                   Left = 37, Up = 38, Right = 39, Down = 40, Snapshot = 44, Insert = 45, Delete = 46,
                   LWin = 91, RWin = 92, Apps = 93, Numpad0 = 96, Multiply = 106, Add = 107,
                   Subtract = 109, Decimal = 110, Divide = 111, F1 = 112, F12 = 123, F15 = 126,
                   NumLock = 144, Scroll = 145, LShift = 160, RShift = 161, LControl = 162,
                   RControl = 163, LMenu = 164, RMenu = 165, Oem1 = 186, OemPlus = 187,
                   OemComma = 188, OemMinus = 189, OemPeriod = 190, Oem2 = 191, Oem3 = 192,
                   Oem4 = 219, Oem5 = 220, Oem6 = 221, Oem7 = 222, Oem102 = 226;
}
