#include "platform/sdl/KeyTables.h"

#include <SDL.h>

#include <array>

namespace {

// One row per physical key: its SDL scancode, the key code it has on a US
// layout, its set-1 scan code (extended keys + 0x80; 0 = not in the state)
// and its virtual-key code (0 = no key-down event).
struct TKeyRow {
    SDL_Scancode Scancode;
    SDL_Keycode Keycode;
    uint8_t Set1;
    uint16_t Vk;
};

// clang-format off
#define KEY(name, key, set1, vk) {SDL_SCANCODE_##name, key, set1, vk}
// clang-format on
#define SC(name) SDL_SCANCODE_TO_KEYCODE(SDL_SCANCODE_##name)

// clang-format off
constexpr TKeyRow KeyRows[] = {
    // Main block, row by row.
    KEY(ESCAPE, SDLK_ESCAPE, 0x01, 27),
    KEY(1, SDLK_1, 0x02, '1'), KEY(2, SDLK_2, 0x03, '2'), KEY(3, SDLK_3, 0x04, '3'),
    KEY(4, SDLK_4, 0x05, '4'), KEY(5, SDLK_5, 0x06, '5'), KEY(6, SDLK_6, 0x07, '6'),
    KEY(7, SDLK_7, 0x08, '7'), KEY(8, SDLK_8, 0x09, '8'), KEY(9, SDLK_9, 0x0A, '9'),
    KEY(0, SDLK_0, 0x0B, '0'),
    KEY(MINUS, SDLK_MINUS, 0x0C, 189), KEY(EQUALS, SDLK_EQUALS, 0x0D, 187),
    KEY(BACKSPACE, SDLK_BACKSPACE, 0x0E, 8), KEY(TAB, SDLK_TAB, 0x0F, 9),
    KEY(Q, SDLK_q, 0x10, 'Q'), KEY(W, SDLK_w, 0x11, 'W'), KEY(E, SDLK_e, 0x12, 'E'),
    KEY(R, SDLK_r, 0x13, 'R'), KEY(T, SDLK_t, 0x14, 'T'), KEY(Y, SDLK_y, 0x15, 'Y'),
    KEY(U, SDLK_u, 0x16, 'U'), KEY(I, SDLK_i, 0x17, 'I'), KEY(O, SDLK_o, 0x18, 'O'),
    KEY(P, SDLK_p, 0x19, 'P'),
    KEY(LEFTBRACKET, SDLK_LEFTBRACKET, 0x1A, 219), KEY(RIGHTBRACKET, SDLK_RIGHTBRACKET, 0x1B, 221),
    KEY(RETURN, SDLK_RETURN, 0x1C, 13), KEY(LCTRL, SDLK_LCTRL, 0x1D, 162),
    KEY(A, SDLK_a, 0x1E, 'A'), KEY(S, SDLK_s, 0x1F, 'S'), KEY(D, SDLK_d, 0x20, 'D'),
    KEY(F, SDLK_f, 0x21, 'F'), KEY(G, SDLK_g, 0x22, 'G'), KEY(H, SDLK_h, 0x23, 'H'),
    KEY(J, SDLK_j, 0x24, 'J'), KEY(K, SDLK_k, 0x25, 'K'), KEY(L, SDLK_l, 0x26, 'L'),
    KEY(SEMICOLON, SDLK_SEMICOLON, 0x27, 186), KEY(APOSTROPHE, SDLK_QUOTE, 0x28, 222),
    KEY(GRAVE, SDLK_BACKQUOTE, 0x29, 192), KEY(LSHIFT, SDLK_LSHIFT, 0x2A, 160),
    KEY(BACKSLASH, SDLK_BACKSLASH, 0x2B, 220),
    KEY(Z, SDLK_z, 0x2C, 'Z'), KEY(X, SDLK_x, 0x2D, 'X'), KEY(C, SDLK_c, 0x2E, 'C'),
    KEY(V, SDLK_v, 0x2F, 'V'), KEY(B, SDLK_b, 0x30, 'B'), KEY(N, SDLK_n, 0x31, 'N'),
    KEY(M, SDLK_m, 0x32, 'M'),
    KEY(COMMA, SDLK_COMMA, 0x33, 188), KEY(PERIOD, SDLK_PERIOD, 0x34, 190),
    KEY(SLASH, SDLK_SLASH, 0x35, 191), KEY(RSHIFT, SDLK_RSHIFT, 0x36, 161),
    KEY(LALT, SDLK_LALT, 0x38, 164), KEY(SPACE, SDLK_SPACE, 0x39, 32),
    KEY(CAPSLOCK, SDLK_CAPSLOCK, 0x3A, 20),
    KEY(NONUSBACKSLASH, SC(NONUSBACKSLASH), 0x56, 226),
    KEY(RCTRL, SDLK_RCTRL, 0x9D, 163), KEY(RALT, SDLK_RALT, 0xB8, 165),
    KEY(LGUI, SDLK_LGUI, 0xDB, 91), KEY(RGUI, SDLK_RGUI, 0xDC, 92),
    KEY(APPLICATION, SDLK_APPLICATION, 0xDD, 93),
    // Function keys.
    KEY(F1, SDLK_F1, 0x3B, 112), KEY(F2, SDLK_F2, 0x3C, 113), KEY(F3, SDLK_F3, 0x3D, 114),
    KEY(F4, SDLK_F4, 0x3E, 115), KEY(F5, SDLK_F5, 0x3F, 116), KEY(F6, SDLK_F6, 0x40, 117),
    KEY(F7, SDLK_F7, 0x41, 118), KEY(F8, SDLK_F8, 0x42, 119), KEY(F9, SDLK_F9, 0x43, 120),
    KEY(F10, SDLK_F10, 0x44, 121), KEY(F11, SDLK_F11, 0x57, 122), KEY(F12, SDLK_F12, 0x58, 123),
    KEY(F13, SDLK_F13, 0x64, 124), KEY(F14, SDLK_F14, 0x65, 125), KEY(F15, SDLK_F15, 0x66, 126),
    // Print, scroll lock, pause and the navigation block.
    KEY(PRINTSCREEN, SDLK_PRINTSCREEN, 0xB7, 44), KEY(SCROLLLOCK, SDLK_SCROLLLOCK, 0x46, 145),
    KEY(PAUSE, SDLK_PAUSE, 0xC5, 19),
    KEY(INSERT, SDLK_INSERT, 0xD2, 45), KEY(HOME, SDLK_HOME, 0xC7, 36), KEY(PAGEUP, SDLK_PAGEUP, 0xC9, 33),
    KEY(DELETE, SDLK_DELETE, 0xD3, 46), KEY(END, SDLK_END, 0xCF, 35), KEY(PAGEDOWN, SDLK_PAGEDOWN, 0xD1, 34),
    KEY(UP, SDLK_UP, 0xC8, 38), KEY(LEFT, SDLK_LEFT, 0xCB, 37), KEY(RIGHT, SDLK_RIGHT, 0xCD, 39),
    KEY(DOWN, SDLK_DOWN, 0xD0, 40),
    // Keypad (with Num Lock on, as the codes of the old system were).
    KEY(NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, 0x45, 144), KEY(KP_DIVIDE, SDLK_KP_DIVIDE, 0xB5, 111),
    KEY(KP_MULTIPLY, SDLK_KP_MULTIPLY, 0x37, 106), KEY(KP_MINUS, SDLK_KP_MINUS, 0x4A, 109),
    KEY(KP_PLUS, SDLK_KP_PLUS, 0x4E, 107), KEY(KP_ENTER, SDLK_KP_ENTER, 0x9C, 13),
    KEY(KP_7, SDLK_KP_7, 0x47, 103), KEY(KP_8, SDLK_KP_8, 0x48, 104), KEY(KP_9, SDLK_KP_9, 0x49, 105),
    KEY(KP_4, SDLK_KP_4, 0x4B, 100), KEY(KP_5, SDLK_KP_5, 0x4C, 101), KEY(KP_6, SDLK_KP_6, 0x4D, 102),
    KEY(KP_1, SDLK_KP_1, 0x4F, 97), KEY(KP_2, SDLK_KP_2, 0x50, 98), KEY(KP_3, SDLK_KP_3, 0x51, 99),
    KEY(KP_0, SDLK_KP_0, 0x52, 96), KEY(KP_PERIOD, SDLK_KP_PERIOD, 0x53, 110),
    KEY(KP_EQUALS, SDLK_KP_EQUALS, 0x8D, 0), KEY(KP_COMMA, SDLK_KP_COMMA, 0xB3, 108),
    // Keys of Japanese and Brazilian keyboards.
    KEY(INTERNATIONAL1, SC(INTERNATIONAL1), 0x73, 193), KEY(INTERNATIONAL2, SC(INTERNATIONAL2), 0x70, 21),
    KEY(INTERNATIONAL3, SC(INTERNATIONAL3), 0x7D, 0), KEY(INTERNATIONAL4, SC(INTERNATIONAL4), 0x79, 28),
    KEY(INTERNATIONAL5, SC(INTERNATIONAL5), 0x7B, 29),
    // Media, browser and power keys.
    KEY(MUTE, SDLK_MUTE, 0xA0, 173), KEY(VOLUMEDOWN, SDLK_VOLUMEDOWN, 0xAE, 174),
    KEY(VOLUMEUP, SDLK_VOLUMEUP, 0xB0, 175), KEY(AUDIONEXT, SDLK_AUDIONEXT, 0x99, 176),
    KEY(AUDIOPREV, SDLK_AUDIOPREV, 0x90, 177), KEY(AUDIOSTOP, SDLK_AUDIOSTOP, 0xA4, 178),
    KEY(AUDIOPLAY, SDLK_AUDIOPLAY, 0xA2, 179), KEY(MAIL, SDLK_MAIL, 0xEC, 180),
    KEY(MEDIASELECT, SDLK_MEDIASELECT, 0xED, 181), KEY(COMPUTER, SDLK_COMPUTER, 0xEB, 182),
    KEY(CALCULATOR, SDLK_CALCULATOR, 0xA1, 183),
    KEY(AC_BACK, SDLK_AC_BACK, 0xEA, 166), KEY(AC_FORWARD, SDLK_AC_FORWARD, 0xE9, 167),
    KEY(AC_REFRESH, SDLK_AC_REFRESH, 0xE7, 168), KEY(AC_STOP, SDLK_AC_STOP, 0xE8, 169),
    KEY(AC_SEARCH, SDLK_AC_SEARCH, 0xE5, 170), KEY(AC_BOOKMARKS, SDLK_AC_BOOKMARKS, 0xE6, 171),
    KEY(AC_HOME, SDLK_AC_HOME, 0xB2, 172),
    KEY(POWER, SDLK_POWER, 0xDE, 0), KEY(SLEEP, SDLK_SLEEP, 0xDF, 95),
};
// clang-format on

#undef KEY
#undef SC

struct TScancodeIndex {
    std::array<uint8_t, SDL_NUM_SCANCODES> Set1{};
    std::array<uint16_t, SDL_NUM_SCANCODES> Vk{};
    TScancodeIndex()
    {
        for (const TKeyRow& row : KeyRows) {
            Set1[row.Scancode] = row.Set1;
            Vk[row.Scancode] = row.Vk;
        }
    }
};

const TScancodeIndex& Index()
{
    static const TScancodeIndex index;
    return index;
}

} // namespace

uint8_t ScancodeToSet1(int32_t scancode)
{
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES)
        return 0;
    return Index().Set1[static_cast<size_t>(scancode)];
}

int32_t ScancodeCount() { return SDL_NUM_SCANCODES; }

uint16_t KeyToVk(int32_t keycode, int32_t scancode)
{
    // The layout decides first (an AZERTY "A" is VK 'A' wherever it sits); a
    // key whose symbol is not on a US keyboard (a Cyrillic letter, "ß")
    // takes the code of the US key in its place, as the old system's layouts did.
    for (const TKeyRow& row : KeyRows)
        if (row.Keycode == keycode)
            return row.Vk;
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES)
        return 0;
    return Index().Vk[static_cast<size_t>(scancode)];
}

uint16_t KeyDownVk(int32_t keycode, int32_t scancode)
{
    const uint16_t vk = KeyToVk(keycode, scancode);
    switch (vk) {
    case VkCode::LShift:
    case VkCode::RShift:
        return VkCode::Shift;
    case VkCode::LControl:
    case VkCode::RControl:
        return VkCode::Control;
    case VkCode::LMenu:
    case VkCode::RMenu:
        return VkCode::Menu;
    default:
        return vk;
    }
}
