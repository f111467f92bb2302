// The shell's side of recording games: a new game and each of its frames run
// inside the recorder, and a finished game's record is kept next to
// "Config.cfg".
#pragma once
#include <string>

#include "record/GameRecord.h"

class TGame;
struct TSurface;

// A new game, its creation recorded as the first frame of a new record.
TGame* NewRecordedGame();
// One frame of the current game, recorded; when the game ends in it, the
// record is finished and saved.
void RunRecordedFrame(TSurface* target);
// The game-over display has run out: the menus take over (the name entry
// when the result goes into the table).
void LeaveFinishedGame(const TGame& game);
// What the player did between frames (pause, display switch...).
void NoteForRecord(record::TNote note);
// "LastGame.rec" in the folder of "Config.cfg".
std::string RecordFilePath();
