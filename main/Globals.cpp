// The state every part of the game shares.
#include "main/Globals.h"

int32_t GameState = StateIntro;
TGame* CurrentGame = nullptr;
uint8_t KeyboardState[256];
uint8_t MouseState[20];
int32_t MouseX = 0, MouseY = 0;
int32_t MouseMode = 0;
int32_t FormActive = 0;
uint32_t AnimCounter = 0;
bool ExitConfirmed = false;

TDirectDraw* DDraw = nullptr;
TSurface* BackBuffer = nullptr;
TSurface* SnapshotSurface = nullptr;
