// The key translations: the polled keyboard state by set-1 code, and the
// virtual-key codes of key-down events.
#include <SDL2/SDL_keycode.h>
#include <SDL2/SDL_scancode.h>
#include <gtest/gtest.h>

#include <map>

#include "platform/sdl/KeyTables.h"

namespace {

struct TSet1Case {
    SDL_Scancode Scancode;
    uint8_t Set1;
};

// The keys the game polls (flying, firing, pause) and the ones the old
// input system documented, including the extended (E0) keys.
// clang-format off
const TSet1Case Set1Cases[] = {
    {SDL_SCANCODE_LEFT, 203},   {SDL_SCANCODE_RIGHT, 205},  {SDL_SCANCODE_UP, 200},
    {SDL_SCANCODE_DOWN, 208},   {SDL_SCANCODE_LCTRL, 29},   {SDL_SCANCODE_RCTRL, 157},
    {SDL_SCANCODE_SPACE, 57},   {SDL_SCANCODE_P, 0x19},     {SDL_SCANCODE_ESCAPE, 0x01},
    {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_KP_ENTER, 0x9C}, {SDL_SCANCODE_A, 0x1E},
    {SDL_SCANCODE_Z, 0x2C},     {SDL_SCANCODE_Q, 0x10},     {SDL_SCANCODE_M, 0x32},
    {SDL_SCANCODE_1, 0x02},     {SDL_SCANCODE_0, 0x0B},     {SDL_SCANCODE_F1, 0x3B},
    {SDL_SCANCODE_F10, 0x44},   {SDL_SCANCODE_F11, 0x57},   {SDL_SCANCODE_F12, 0x58},
    {SDL_SCANCODE_F15, 0x66},   {SDL_SCANCODE_LSHIFT, 0x2A}, {SDL_SCANCODE_RSHIFT, 0x36},
    {SDL_SCANCODE_LALT, 0x38},  {SDL_SCANCODE_RALT, 0xB8},  {SDL_SCANCODE_TAB, 0x0F},
    {SDL_SCANCODE_BACKSPACE, 0x0E}, {SDL_SCANCODE_GRAVE, 0x29}, {SDL_SCANCODE_SEMICOLON, 0x27},
    {SDL_SCANCODE_KP_7, 0x47},  {SDL_SCANCODE_KP_0, 0x52},  {SDL_SCANCODE_KP_DIVIDE, 0xB5},
    {SDL_SCANCODE_KP_MULTIPLY, 0x37}, {SDL_SCANCODE_NUMLOCKCLEAR, 0x45}, {SDL_SCANCODE_HOME, 0xC7},
    {SDL_SCANCODE_END, 0xCF},   {SDL_SCANCODE_PAGEUP, 0xC9}, {SDL_SCANCODE_PAGEDOWN, 0xD1},
    {SDL_SCANCODE_INSERT, 0xD2}, {SDL_SCANCODE_DELETE, 0xD3}, {SDL_SCANCODE_PAUSE, 0xC5},
    {SDL_SCANCODE_PRINTSCREEN, 0xB7}, {SDL_SCANCODE_LGUI, 0xDB}, {SDL_SCANCODE_NONUSBACKSLASH, 0x56},
};
// clang-format on

TEST(KeyTables, Set1CodesOfTheKeysTheGameAndTheOldSystemName)
{
    for (const TSet1Case& c : Set1Cases)
        EXPECT_EQ(ScancodeToSet1(c.Scancode), c.Set1) << "scancode " << int(c.Scancode);
}

TEST(KeyTables, NoTwoKeysShareASet1CodeAndEveryKeyOfAFullKeyboardHasOne)
{
    std::map<uint8_t, int> owner;
    for (int32_t sc = 0; sc < ScancodeCount(); ++sc) {
        const uint8_t code = ScancodeToSet1(sc);
        if (!code)
            continue;
        const auto [it, fresh] = owner.emplace(code, sc);
        EXPECT_TRUE(fresh) << "set-1 code " << int(code) << " for both " << it->second << " and " << sc;
    }
    // Every key of a 105-key keyboard reaches the state.
    for (int32_t sc = SDL_SCANCODE_A; sc <= SDL_SCANCODE_KP_PERIOD; ++sc) {
        if (sc == SDL_SCANCODE_NONUSHASH) // reported as the backslash key
            continue;
        EXPECT_NE(ScancodeToSet1(sc), 0) << "scancode " << sc;
    }
    // Out of range asks for nothing.
    EXPECT_EQ(ScancodeToSet1(-1), 0);
    EXPECT_EQ(ScancodeToSet1(ScancodeCount()), 0);
}

struct TVkCase {
    SDL_Keycode Key;
    SDL_Scancode Scancode;
    uint16_t Vk;     // KeyToVk
    uint16_t DownVk; // what a key-down event carries
};

const TVkCase VkCases[] = {
    {SDLK_a, SDL_SCANCODE_A, 'A', 'A'},
    {SDLK_z, SDL_SCANCODE_Z, 'Z', 'Z'},
    {SDLK_n, SDL_SCANCODE_N, 78, 78},
    {SDLK_p, SDL_SCANCODE_P, 80, 80},
    {SDLK_y, SDL_SCANCODE_Y, 89, 89},
    // A French keyboard: the layout's letter wins over the key's place.
    {SDLK_a, SDL_SCANCODE_Q, 'A', 'A'},
    {SDLK_0, SDL_SCANCODE_0, '0', '0'},
    {SDLK_9, SDL_SCANCODE_9, '9', '9'},
    {SDLK_F1, SDL_SCANCODE_F1, 112, 112},
    {SDLK_F12, SDL_SCANCODE_F12, 123, 123},
    {SDLK_F15, SDL_SCANCODE_F15, 126, 126},
    {SDLK_RETURN, SDL_SCANCODE_RETURN, 13, 13},
    {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13, 13},
    {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27, 27},
    {SDLK_SPACE, SDL_SCANCODE_SPACE, 32, 32},
    {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8, 8},
    {SDLK_TAB, SDL_SCANCODE_TAB, 9, 9},
    {SDLK_LEFT, SDL_SCANCODE_LEFT, 37, 37},
    {SDLK_UP, SDL_SCANCODE_UP, 38, 38},
    {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39, 39},
    {SDLK_DOWN, SDL_SCANCODE_DOWN, 40, 40},
    {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, 33, 33},
    {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, 34, 34},
    {SDLK_END, SDL_SCANCODE_END, 35, 35},
    {SDLK_HOME, SDL_SCANCODE_HOME, 36, 36},
    {SDLK_INSERT, SDL_SCANCODE_INSERT, 45, 45},
    {SDLK_DELETE, SDL_SCANCODE_DELETE, 46, 46},
    {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 160, 16},
    {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 161, 16},
    {SDLK_LCTRL, SDL_SCANCODE_LCTRL, 162, 17},
    {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 163, 17},
    {SDLK_LALT, SDL_SCANCODE_LALT, 164, 18},
    {SDLK_RALT, SDL_SCANCODE_RALT, 165, 18},
    {SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 186, 186},
    {SDLK_EQUALS, SDL_SCANCODE_EQUALS, 187, 187},
    {SDLK_COMMA, SDL_SCANCODE_COMMA, 188, 188},
    {SDLK_MINUS, SDL_SCANCODE_MINUS, 189, 189},
    {SDLK_PERIOD, SDL_SCANCODE_PERIOD, 190, 190},
    {SDLK_SLASH, SDL_SCANCODE_SLASH, 191, 191},
    {SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, 192, 192},
    {SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, 219, 219},
    {SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, 220, 220},
    {SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET, 221, 221},
    {SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, 222, 222},
    {SDLK_KP_5, SDL_SCANCODE_KP_5, 101, 101},
    {SDLK_LGUI, SDL_SCANCODE_LGUI, 91, 91},
    // A Cyrillic letter ("ф" on the A key) keeps the code of its key's place.
    {0x0444, SDL_SCANCODE_A, 'A', 'A'},
    // "ß" where a US keyboard has "-".
    {0xDF, SDL_SCANCODE_MINUS, 189, 189},
    // Keys without a code.
    {SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0, 0},
};

TEST(KeyTables, VirtualKeyCodes)
{
    for (const TVkCase& c : VkCases) {
        EXPECT_EQ(KeyToVk(c.Key, c.Scancode), c.Vk) << "scancode " << int(c.Scancode) << " key " << c.Key;
        EXPECT_EQ(KeyDownVk(c.Key, c.Scancode), c.DownVk) << "scancode " << int(c.Scancode);
    }
}

TEST(KeyTables, EveryLetterAndDigitKeyHasItsAsciiCode)
{
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(KeyDownVk(SDLK_a + i, SDL_SCANCODE_A + i), 'A' + i);
    const SDL_Keycode digits[] = {SDLK_1, SDLK_2, SDLK_3, SDLK_4, SDLK_5, SDLK_6, SDLK_7, SDLK_8, SDLK_9, SDLK_0};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(KeyDownVk(digits[i], SDL_SCANCODE_1 + i), digits[i]);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(KeyDownVk(SDLK_F1 + i, SDL_SCANCODE_F1 + i), 112 + i);
}

} // namespace
