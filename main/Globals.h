// State shared by the shell, the game, the widgets and the services.
#pragma once
#include <cstdint>

#include "platform/DDraw.h"

class TGame;

// Application states (what a frame shows and what input means).
enum : int32_t {
    StateIntro = 0,
    StateMainMenu = 1,
    StatePlaying = 2,
    StateOptions = 3,
    StateHighScores = 4,
    StateHelpOverview = 5,
    StateExitConfirm = 7,
    StateClearScoresConfirm = 8,
    StateBossKeyCapture = 31,
    StatePaused = 33,
    StateNameEntry = 34,
    StateSubmitConfirm = 35,
    StateQuitGameConfirm = 36,
    StateSubmitRetry = 38,
    StateSubmitting = 39,
    StateHelpBonuses = 51,
    StateHelpControls = 52,
    StateHelpAbout = 53,
};

extern int32_t GameState;
extern TGame* CurrentGame;          // none before the first game
extern uint8_t KeyboardState[256];  // scan-code state, 0x80 when down
extern uint8_t MouseState[20];      // mouse device state read by the game each frame
extern int32_t MouseX, MouseY;      // last mouse position in client pixels
extern int32_t MouseMode;           // -1: the mouse was used last; 0: the keyboard
extern int32_t FormActive;          // -1: active and the display is set up
extern uint32_t AnimCounter;        // intro and bonus-page animation counter
extern bool ExitConfirmed;

extern TDirectDraw* DDraw;
extern TSurface* BackBuffer;        // every frame is drawn here
extern TSurface* SnapshotSurface;   // a frozen frame behind pause and dialogs

// Virtual-key codes used by the game.
enum : uint16_t {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18,
    VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36,
    VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40, VK_INSERT = 45, VK_DELETE = 46,
    VK_F1 = 112, VK_F12 = 123, VK_LSHIFT = 160, VK_RSHIFT = 161, VK_LCONTROL = 162,
    VK_RCONTROL = 163, VK_LMENU = 164, VK_RMENU = 165,
};

// Scan codes the game reads from KeyboardState.
enum : uint8_t {
    DIK_ESCAPE = 0x01, DIK_RETURN = 0x1C, DIK_LCONTROL = 0x1D, DIK_P = 0x19, DIK_SPACE = 0x39,
    DIK_RCONTROL = 0x9D, DIK_UP = 0xC8, DIK_LEFT = 0xCB, DIK_RIGHT = 0xCD, DIK_DOWN = 0xD0,
};

// The state machine's handler of a confirmed choice (also called by the
// options menu's Confirm).
void ApplyMenuChoice();

// The window's display set-up for the current options (the re-creation path
// of the window's creation: surfaces for the mode, the asset pack reloaded).
void RecreateDisplay();

// Snapshot helpers of the main window (used by the game at its end).
void TakeSnapshot();
void StripeSnapshot();
