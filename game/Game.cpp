#include "game/Game.h"

#include <cstring>
#include <string>

#include "graphics/AssetPack.h"
#include "graphics/Draw.h"
#include "platform/InputState.h"
#include "platform/Platform.h"
#include "platform/Random.h"
#include "services/DXSounds.h"
#include "services/FMOD.h"
#include "services/Options.h"

TGame::TGame()
{
    ShowCursor(false);
    Stage = 1;
    SubStage = 1;
    Lives = 3;
    Phase = PhaseSettle;
    Score = 0;
    Energy = FullEnergy;
    Ship = std::make_unique<TMyShip>(this);
    FarLayer = std::make_unique<TRunBackground>(this, 0, 0, SheetBackgroundFar, 15);
    NearLayer = std::make_unique<TRunBackground>(this, 0, 0, static_cast<uint8_t>(SheetBackgroundNear + Random(5)), 1);
    PhaseStart = GetTickCount();
    Engine = std::make_unique<TEnemyEngine>(this);
    // The heads-up display's and the stage titles' text is ready before the
    // first frame of play: opening a font size and drawing its characters for
    // the first time would make that frame ten times slower than the others.
    PrepareText(18, 10, "Level Score X -0123456789");
    PrepareText(32, 20, "Level Game Over -0123456789");
}

TGame::~TGame()
{
    for (int i = 0; i < HitSlots; ++i) {
        Hits[i].reset();
        Asteroids[i].reset();
        Bonuses[i].reset();
    }
    Ship.reset();
    NearLayer.reset();
    FarLayer.reset();
    Engine.reset();
}

void TGame::NextStage()
{
    Stage = static_cast<uint8_t>(Stage + 1);
    SubStage = static_cast<uint8_t>(Stage % 3 == 0 ? 3 : Stage % 3);
    Phase = PhaseSettle;
}

uint8_t TGame::StageCycle() const
{
    return static_cast<uint8_t>(Stage % 10 == 0 ? 10 : Stage % 10);
}

uint8_t TGame::BossKind() const
{
    // Cycles 3..5 bring the first command ship, 6..8 the second, 9 and 10 the
    // third. Stages 12, 21, 42, 51... (cycle 1 or 2) are boss stages too; they
    // bring the first command ship rather than one that does not exist.
    const int kind = StageCycle() / 3 - 1;
    return static_cast<uint8_t>(kind < 0 ? 0 : kind);
}

uint8_t TGame::RollEnemyKind(uint8_t a, uint8_t b)
{
    const int32_t r = Random(100);
    if (r <= a)
        return static_cast<uint8_t>(Random(3));
    if (r < a + b)
        return static_cast<uint8_t>(3 + Random(3));
    return static_cast<uint8_t>(6 + Random(3));
}

uint8_t TGame::PickEnemyKind()
{
    // Early stages of a cycle roll again until the kind is one they allow.
    for (;;) {
        const uint8_t kind = RollEnemyKind(70, 10);
        if (kind < StageCycle())
            return kind;
    }
}

void TGame::AddHit(int16_t x, int16_t y, int8_t startFrame, uint8_t hitType)
{
    for (int i = 0; i < HitSlots; ++i) {
        if (!Hits[i]) {
            PlaySoundEffect(x, y, Hit);
            Hits[i] = std::make_unique<THit>(hitType, startFrame, x, y, static_cast<uint8_t>(i));
            return;
        }
    }
    // every slot taken: no effect and no sound
}

void TGame::ReadMouse()
{
    std::memset(MouseState, 0, sizeof MouseState);
    if (Platform.Mouse)
        Platform.Mouse->GetDeviceState(20, MouseState);
    // Keep the system cursor away from the window's edges while the mouse
    // flies; while another program is in front the pointer is the player's.
    if (MouseMode != 0 && FormActive != 0 && Platform.Display) {
        int32_t left = 0, top = 0;
        Platform.Display->GetWindowPos(left, top);
        Platform.Display->SetCursorPos(left + 200, top + 200);
    }
}

void TGame::UpdateHits(TSurface* target)
{
    for (auto& h : Hits)
        if (h && !h->UpdateAndDraw(target))
            h.reset();
}

void TGame::UpdateAndDraw(TSurface* target)
{
    ReadMouse();
    switch (Phase) {
    case PhaseSettle: Settle(target); break;
    case PhaseStageTitle: StageTitle(target); break;
    case PhasePlay: Play(target); break;
    case PhaseGameOver: GameOver(target); break;
    default: break;
    }
}

void TGame::Settle(TSurface* target)
{
    FrameTick = GetTickCount();
    FarLayer->ScrollAndDraw(target);
    NearLayer->ScrollAndDraw(target);
    Ship->UpdateAndDraw(target);
    UpdateHits(target);
    DrawHud();
    for (auto& h : Hits)
        if (h)
            return;
    // The last explosion has ended: the stage title comes up.
    Phase = PhaseStageTitle;
    PlaySoundEffect(400, 100, NewStage);
    PhaseStart = GetTickCount();
}

void TGame::StageTitle(TSurface* target)
{
    FrameTick = GetTickCount();
    Distance = 0;
    Ship->X = 390;
    Ship->Y = 500;
    FarLayer->ScrollAndDraw(target);
    NearLayer->ScrollAndDraw(target);
    Ship->UpdateAndDraw(target);
    DrawTextShadowed(target, 310, 300, "Level " + std::to_string(Level()) + "-" + std::to_string(SubStage), 32, 20,
                     ColorBrightGreen);
    if (FrameTick - PhaseStart > 2000) {
        Phase = PhasePlay;
        Engine->ResetEngine();
        Energy = FullEnergy;
        if (SubStage == 3)
            Engine->Boss = std::make_unique<TBaseBoss>(this, BossKind());
    }
    DrawHud();
}

void TGame::Play(TSurface* target)
{
    // A covered distance ends the stage; the rest of this frame still runs as play.
    if (Distance >= StageDistance())
        NextStage();
    FrameTick = GetTickCount();
    FarLayer->ScrollAndDraw(target);
    NearLayer->ScrollAndDraw(target);
    Ship->UpdateAndDraw(target);
    Engine->UpdateEnemies(target);
    for (auto& b : Bonuses)
        if (b && !b->UpdateAndDraw(target))
            b.reset();
    for (auto& a : Asteroids)
        if (a && !a->UpdateAndDraw(target))
            a.reset();
    UpdateHits(target);
    DrawHud();
    if (Lives == 0) {
        StopMusic();
        Phase = PhaseGameOver;
        PlayWave(Laser_1);
        PhaseStart = GetTickCount();
    }
}

void TGame::GameOver(TSurface* target)
{
    FrameTick = GetTickCount();
    FarLayer->ScrollAndDraw(target);
    NearLayer->ScrollAndDraw(target);
    DrawTextShadowed(target, 310, 300, "Game Over", 32, 20, ColorBrightGreen);
    DrawHud();
    if (FrameTick - PhaseStart > 2000) {
        ShowCursor(true);
        // A result that beats the tenth of the table goes in under a name.
        Exit = HiScores[HiScoreCount - 1].Score < Score ? TGameExit::NameEntry : TGameExit::MainMenu;
        if (GameOptions.MusicOn)
            PlayMusic("1.xm");
        PhaseStart = GetTickCount();
    }
}
