#include "main/GameRecording.h"

#include <cstdio>

#include "game/Game.h"
#include "game/StateHash.h"
#include "main/Globals.h"
#include "platform/Random.h"
#include "record/Recorder.h"
#include "services/Options.h"

using record::GameRecorder;

TGame* NewRecordedGame()
{
    GameRecorder.StartGame();
    GameRecorder.BeginFrame(KeyboardState, RandSeed, PhaseSettle);
    TGame* game = new TGame;
    GameRecorder.EndFrame(RandSeed, game->Phase);
    return game;
}

void RunRecordedFrame(TSurface* target)
{
    TGame* game = CurrentGame;
    if (!game)
        return;
    GameRecorder.BeginFrame(KeyboardState, RandSeed, game->Phase);
    game->UpdateAndDraw(target);
    GameRecorder.EndFrame(RandSeed, game->Phase);
    LeaveFinishedGame(*game);
    // The game-over display has run out: the game is over and its record done.
    if (GameState == StatePlaying || !GameRecorder.GameOpen())
        return;
    if (GameRecorder.FinishGame({game->Score, game->Stage, GameStateHash(*game)}))
        record::SaveRecordFile(RecordFilePath(), GameRecorder.LastRecord());
    else
        std::remove(RecordFilePath().c_str()); // too long to keep: no older game's record stands in for it
}

void LeaveFinishedGame(const TGame& game)
{
    switch (game.Exit) {
    case TGameExit::None: break;
    case TGameExit::MainMenu: GameState = StateMainMenu; break;
    case TGameExit::NameEntry:
        // The name is asked over the game's last frame.
        TakeSnapshot();
        GameState = StateNameEntry;
        break;
    }
}

void NoteForRecord(record::TNote note)
{
    GameRecorder.Note(note);
}

std::string RecordFilePath()
{
    const size_t slash = ConfigFileName.rfind('/');
    return (slash == std::string::npos ? std::string() : ConfigFileName.substr(0, slash + 1)) +
           record::RecordFileName;
}
