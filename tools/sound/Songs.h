// The game's two music modules.
#pragma once
#include "XmWriter.h"

// "1.xm": the menus' music, calm and spacious, in A minor.
TXmModule MakeMenuSong();
// "2.xm": the game's music, driving and bright, in E minor.
TXmModule MakeGameSong();
