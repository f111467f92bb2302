// The shell's own state: which screen is up and the running game.
#include "main/Globals.h"

int32_t GameState = StateIntro;
TGame* CurrentGame = nullptr;
uint32_t AnimCounter = 0;
bool ExitConfirmed = false;

const char* StateModule(int32_t state)
{
    switch (state) {
    case StateIntro:
    case StateMainMenu:
    case StateOptions:
    case StateHighScores:
    case StateHelpOverview:
    case 6:
    case StateExitConfirm:
    case StateClearScoresConfirm:
    case 9:
    case 10:
        return "1.xm";
    case StatePlaying:
    case 11:
        return "2.xm";
    default:
        return nullptr;
    }
}
