// The surfaces every picture of the game ends up on: the display's back
// buffer, drawn afresh each frame, and the frozen frame shown behind pause
// and the questions.
#pragma once
#include "platform/DDraw.h"

extern TDirectDraw* DDraw;
extern TSurface* BackBuffer;      // every frame is drawn here
extern TSurface* SnapshotSurface; // a frozen frame behind pause and dialogs
