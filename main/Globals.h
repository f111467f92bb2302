// The shell's own state: which screen is up, the running game, and what the
// shell does for the widgets and the services. What the lower layers share
// lives with them: the input state in platform/InputState.h, the frame's
// surfaces in graphics/Frame.h (both included here for the shell's files).
#pragma once
#include <cstdint>

#include "graphics/Frame.h"
#include "platform/DDraw.h"
#include "platform/InputState.h"

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

// The module that belongs to a state: the menus' "1.xm", the game's "2.xm";
// the dialogs over a game keep whatever plays (none).
const char* StateModule(int32_t state);

extern int32_t GameState;
extern TGame* CurrentGame;   // none before the first game
extern uint32_t AnimCounter; // intro and bonus-page animation counter
extern bool ExitConfirmed;

// The state machine's handler of a confirmed choice.
void ApplyMenuChoice();

// The finished game's score goes into the table under the typed name.
void InsertFinishedGame();

// The frozen frame behind pause and the questions: taken from the back buffer,
// and striped for pause.
void TakeSnapshot();
void StripeSnapshot();
