// Stand-in until the game world lands.
#include "game/Game.h"

#include "platform/Platform.h"

TGame::TGame()
{
    ShowCursor(false);
    PhaseStart = GetTickCount();
}

TGame::~TGame() = default;

void TGame::UpdateAndDraw(TSurface*) {}
