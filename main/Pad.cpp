// The game controller in the shell. Its held buttons hold the keys the
// warship reads from KeyboardState, so a game flown with a pad plays exactly
// as one flown with the keys; its presses become the key events the menus
// already know. It never types letters and has no boss key.
#include "main/Main.h"
#include "platform/Platform.h"

namespace {

// What a held button holds in KeyboardState. A key held on the keyboard and
// the same key held through the pad are one key held.
struct TPadHold {
    TPadButton Button;
    uint8_t Scan;
};

// clang-format off
const TPadHold PadHolds[] = {
    {PadUp, DIK_UP},     {PadDown, DIK_DOWN},         {PadLeft, DIK_LEFT}, {PadRight, DIK_RIGHT},
    {PadA, DIK_LCONTROL}, {PadRightTrigger, DIK_LCONTROL},   // fire
    {PadX, DIK_SPACE},   {PadB, DIK_SPACE},                  // the special weapon
};
// clang-format on

// The key a press sends while the game runs (or stands paused), and in the
// menus and dialogs (0: none).
struct TPadKey {
    TPadButton Button;
    uint16_t InPlay;
    uint16_t InMenus;
};

// clang-format off
const TPadKey PadKeys[] = {
    {PadUp, 0, VK_UP},       {PadDown, 0, VK_DOWN},         {PadLeft, 0, VK_LEFT}, {PadRight, 0, VK_RIGHT},
    {PadA, 0, VK_RETURN},    {PadB, 0, VK_ESCAPE},
    {PadStart, 'P', VK_RETURN},                       // pause and resume; choose
    {PadBack, VK_ESCAPE, VK_ESCAPE},                  // asks to quit; back
};
// clang-format on

constexpr uint32_t DirectionBits = PadBit(PadUp) | PadBit(PadDown) | PadBit(PadLeft) | PadBit(PadRight);

uint16_t PadKeyOf(TPadButton button, int32_t state)
{
    const bool inPlay = state == StatePlaying || state == StatePaused;
    for (const TPadKey& k : PadKeys)
        if (k.Button == button)
            return inPlay ? k.InPlay : k.InMenus;
    return 0;
}

} // namespace

void TForm1::PollGamepad()
{
    if (!Platform.Gamepad)
        return;
    PadHeld = Platform.Gamepad->Poll(GetTickCount());
    PadTaken &= PadHeld;
    TPadButton button;
    while (Platform.Gamepad->NextPress(button)) {
        // A window in the background takes no keys, from the pad either.
        if (!FormActive)
            continue;
        if (GameState == StateBossKeyCapture) {
            // Every key pressed here would become the boss key, and the pad
            // has none to give: B or Back leaves the capture with the key
            // unchanged, so a player with only a pad is never stuck.
            if (button == PadB || button == PadBack)
                GameState = StateOptions;
            continue;
        }
        const uint16_t key = PadKeyOf(button, GameState);
        if (!key)
            continue;
        // A or B that answered a menu does not go on to fire in the game it
        // leads back to, as Enter and Esc do not; a direction flies at once,
        // as an arrow key held does.
        if (GameState != StatePlaying && !(PadBit(button) & DirectionBits))
            PadTaken |= PadBit(button);
        FormKeyDown(key, false, true); // never the boss key, whatever key that is
    }
}

void TForm1::MergePadKeys()
{
    if (!FormActive)
        return;
    for (const TPadHold& h : PadHolds)
        if (PadHeld & ~PadTaken & PadBit(h.Button))
            KeyboardState[h.Scan] = 0x80;
}
